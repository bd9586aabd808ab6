// The demo database's tables as this version makes them. The builder of a new demo and the
// upgrade of a demo made by an earlier version both read them here, so the two cannot drift.
#pragma once

#include <string>
#include <vector>

namespace rowsmith {

struct DemoColumn {
    const char* name;
    // The declared type, as SQLite reports it back (PRAGMA table_info).
    const char* type;
    // NOT NULL, DEFAULT, PRIMARY KEY, REFERENCES: the rest of the column's definition.
    const char* constraints;
};

struct DemoTable {
    const char* name;
    std::vector<DemoColumn> columns;
};

// Kept in the file's PRAGMA user_version. A demo made before the version was kept reads 0.
constexpr int kDemoSchemaVersion = 1;

// The five tables, parents before the tables that refer to them.
const std::vector<DemoTable>& DemoTables();

// The column's definition as CREATE TABLE and ALTER TABLE ADD COLUMN take it.
std::string DemoColumnSql(const DemoColumn& column);

// CREATE TABLE for `table` under the name `name` (the table's own, or a new table's name while it
// is rebuilt).
std::string DemoTableSql(const DemoTable& table, const std::string& name);

// The indexes on the referring columns; each is created only when it is missing.
extern const char kDemoIndexes[];

}  // namespace rowsmith
