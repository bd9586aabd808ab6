// TableConstraints: what a table's catalog says about the values its columns take, read through
// Connection::ReadConstraints for warnings before a fill. Column names are as the table spells
// them; lists follow the order of the table's columns, keys the order of their columns.
#pragma once

#include <string>
#include <vector>

namespace rowsmith {

struct ColumnConstraint {
    std::string name;
    bool notNull = false;
    // A value the database supplies when the fill writes none: a declared default, a sequence
    // or identity, or SQLite's rowid.
    bool hasDefault = false;
};

struct ForeignKey {
    std::vector<std::string> columns;
    std::string parentTable;
    // Empty when the key names the parent's primary key without listing its columns.
    std::vector<std::string> parentColumns;
};

struct TableConstraints {
    std::vector<ColumnConstraint> columns;
    // The primary key first when there is one, then every unique constraint or unique index.
    std::vector<std::vector<std::string>> uniqueKeys;
    std::vector<ForeignKey> foreignKeys;
};

}  // namespace rowsmith
