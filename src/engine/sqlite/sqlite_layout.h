// SqliteLayout: what the SQLite driver learns of a table from the schema when it opens it: the
// columns in order with their types, and how its records are told apart — by the rowid, under a
// name no column takes, or by the primary key of a WITHOUT ROWID table.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

#include "engine/driver.h"

namespace rowsmith {

struct SqliteLayout {
    std::vector<ColumnInfo> columns;
    // How the rowid is named in SQL; empty for a WITHOUT ROWID table.
    std::string rowid;
    // The column that aliases the rowid (INTEGER PRIMARY KEY), or -1.
    int rowidAlias = -1;
    // WITHOUT ROWID: the primary key's columns in key order.
    std::vector<int> keyColumns;
    // Whether records may be inserted several in one statement with the same outcome as one by
    // one: no triggers, conflict clauses or references to the table itself, and no virtual table.
    bool multiRowInserts = false;
};

// The layout of the table `name`, found without regard to case as SQLite finds tables. Throws
// EDBEngineError "no such table: ..." when there is none, and when the table has a rowid that
// its columns rowid, _rowid_ and oid hide and no INTEGER PRIMARY KEY to name it by.
SqliteLayout ReadSqliteLayout(sqlite3* db, const std::string& name);

}  // namespace rowsmith
