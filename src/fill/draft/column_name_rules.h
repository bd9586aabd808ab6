// ChooseColumnFill: the fill method and value a drafted scenario gives one column, from what the
// catalog says of it (type, size, keys, NOT NULL) and what its name says it holds. Keys the
// database numbers itself are left to it, other whole-number keys are counted up, references
// are drawn from their parent's key, and named columns get a library, a pattern or a range that
// looks like what they hold; every other column gets values of its type.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/field_type.h"

namespace rowsmith {

struct ColumnFacts {
    std::string table;
    std::string name;
    TFieldType type = ftUnknown;
    // Declared size of a text column in characters; 0 when it has none.
    int size = 0;
    bool notNull = false;
    // The database writes a value of its own when the fill writes none.
    bool hasDefault = false;
    // A primary or unique key of this column alone.
    bool unique = false;
    // "parent.column" that a reference of this column alone points at; empty when none.
    std::string master;
    // The names of the table's columns, for values made from other columns (an e-mail address
    // from the first and last names).
    std::vector<std::string> tableColumns;
};

struct FillChoice {
    std::int32_t method = 0;
    std::string value;
    bool unique = false;
    // The percentage of NULLs, empty for none.
    std::string nullShare;
};

// The candidates for the column, best first; the last one fits any column of its type and size.
std::vector<FillChoice> FillCandidates(const ColumnFacts& column);

// The first candidate that `fits` accepts (the last one when it accepts none): the caller tells
// whether a library's or a pattern's values are short enough for the column and, for a unique
// column, many enough for its records.
FillChoice ChooseColumnFill(const ColumnFacts& column,
                            const std::function<bool(const FillChoice&)>& fits);

}  // namespace rowsmith
