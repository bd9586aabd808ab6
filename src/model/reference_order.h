// The order in which to fill tables that refer to each other: a parent before each table that
// refers to it, so that every reference a child draws finds its parent's rows already there. The
// scenario editor sorts a scenario by it and the draft of a scenario lists its tables in it.
#pragma once

#include <string>
#include <vector>

namespace rowsmith {

// A foreign key of `child` that refers to `parent`; `nullable` when the child's columns may be
// NULL, so that the child can be filled before its parent with the reference left empty.
struct TableReference {
    std::string child;
    std::string parent;
    bool nullable = false;
};

struct ReferenceOrder {
    // The tables given, parents first.
    std::vector<std::string> tables;
    // The references the order does not follow: self-references and one reference in each
    // circle, a nullable one where the circle has one.
    std::vector<TableReference> broken;
};

// Orders `tables` parents first and keeps their given order wherever no reference asks otherwise:
// the result takes at each step the earliest given table whose parents are all placed. Table
// names compare without regard to letter case; references to or from tables not given are left
// out. A circle is broken at its nullable reference whose child comes first in the given order,
// and when none is nullable at its reference whose child comes first.
ReferenceOrder OrderByReferences(const std::vector<std::string>& tables,
                                 const std::vector<TableReference>& references);

}  // namespace rowsmith
