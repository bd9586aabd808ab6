#include "engine/sqlite/sqlite_layout.h"

#include <algorithm>
#include <utility>

#include "engine/database_errors.h"
#include "engine/sqlite/sqlite_statement.h"
#include "engine/sqlite/sqlite_types.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// A column as pragma_table_info describes it.
struct DeclaredColumn {
    std::string name;
    std::string type;
    // Its position in the primary key from 1, or 0.
    int pk;
};

// Another connection's lock that outlasted the busy wait is a lock timeout, which the cursor
// names its table in.
[[noreturn]] void Fail(sqlite3* db) {
    if ((sqlite3_errcode(db) & 0xFF) == SQLITE_BUSY) {
        throw ELockTimeout(sqlite3_errmsg(db));
    }
    throw EDBEngineError(sqlite3_errmsg(db));
}

// The CREATE statement of the table `name`.
std::string CreateSql(sqlite3* db, const std::string& name) {
    SqliteStatement master(db,
                           "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1 "
                           "COLLATE NOCASE");
    sqlite3_bind_text(master.get(), 1, name.data(), static_cast<int>(name.size()),
                      SQLITE_TRANSIENT);
    const int found = sqlite3_step(master.get());
    if (found != SQLITE_ROW && found != SQLITE_DONE) {
        Fail(db);
    }
    if (found == SQLITE_DONE) {
        throw EDBEngineError("no such table: " + name);
    }
    return ColumnText(master.get(), 0);
}

// Whatever follows the column list's closing parenthesis holds the table options.
bool DeclaresWithoutRowid(const std::string& createSql) {
    const auto close = createSql.rfind(')');
    return close != std::string::npos &&
           UpperCase(createSql.substr(close)).find("ROWID") != std::string::npos;
}

bool Exists(sqlite3* db, const char* sql, const std::string& name) {
    SqliteStatement query(db, sql);
    sqlite3_bind_text(query.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(query.get());
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        Fail(db);
    }
    return rc == SQLITE_ROW;
}

// Several records in one INSERT are written as each alone would be, unless a trigger sees them
// (RAISE(FAIL) keeps the records of the statement before it), a conflict clause keeps or drops
// them differently (FAIL, ROLLBACK), a reference to the table itself finds a record further on
// in the same statement, or the table is virtual. The text search is deliberately broad: a
// table it wrongly leaves out is only written a record at a time.
bool TakesMultiRowInserts(sqlite3* db, const std::string& name, const std::string& createSql) {
    const std::string declared = UpperCase(createSql);
    if (declared.find("CONFLICT") != std::string::npos ||
        declared.find("VIRTUAL") != std::string::npos) {
        return false;
    }
    return !Exists(db,
                   "SELECT 1 FROM sqlite_master WHERE type = 'trigger' AND tbl_name = ?1 "
                   "COLLATE NOCASE",
                   name) &&
           !Exists(db,
                   "SELECT 1 FROM pragma_foreign_key_list(?1) WHERE \"table\" = ?1 COLLATE NOCASE",
                   name);
}

std::vector<DeclaredColumn> DeclaredColumns(sqlite3* db, const std::string& name) {
    SqliteStatement info(db, "SELECT name, type, pk FROM pragma_table_info(?1) ORDER BY cid");
    sqlite3_bind_text(info.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    std::vector<DeclaredColumn> declared;
    int rc;
    while ((rc = sqlite3_step(info.get())) == SQLITE_ROW) {
        declared.push_back({ColumnText(info.get(), 0), ColumnText(info.get(), 1),
                            sqlite3_column_int(info.get(), 2)});
    }
    if (rc != SQLITE_DONE) {
        Fail(db);
    }
    return declared;
}

}  // namespace

SqliteLayout ReadSqliteLayout(sqlite3* db, const std::string& name) {
    const std::string createSql = CreateSql(db, name);
    const bool withoutRowid = DeclaresWithoutRowid(createSql);
    const std::vector<DeclaredColumn> declared = DeclaredColumns(db, name);
    SqliteLayout layout;
    layout.multiRowInserts = TakesMultiRowInserts(db, name, createSql);

    std::vector<std::pair<int, int>> keyParts;  // (position in the key, column)
    for (int i = 0; i < static_cast<int>(declared.size()); ++i) {
        if (declared[i].pk > 0) {
            keyParts.emplace_back(declared[i].pk, i);
        }
    }
    std::sort(keyParts.begin(), keyParts.end());
    if (!withoutRowid && keyParts.size() == 1 &&
        SameText(declared[keyParts[0].second].type, "INTEGER")) {
        layout.rowidAlias = keyParts[0].second;
    }
    for (int i = 0; i < static_cast<int>(declared.size()); ++i) {
        layout.columns.push_back(
            SqliteColumnInfo(declared[i].name, declared[i].type, i == layout.rowidAlias));
    }

    if (withoutRowid) {
        for (const auto& part : keyParts) {
            layout.keyColumns.push_back(part.second);
        }
        return layout;
    }
    // A column may be called rowid itself; SQLite knows the rowid under three names.
    for (const char* candidate : {"rowid", "_rowid_", "oid"}) {
        const bool taken = std::any_of(
            declared.begin(), declared.end(),
            [&](const DeclaredColumn& column) { return SameText(column.name, candidate); });
        if (!taken) {
            layout.rowid = candidate;
            return layout;
        }
    }
    if (layout.rowidAlias < 0) {
        throw EDBEngineError("Table " + QuoteIdentifier(name) +
                             " has columns named rowid, _rowid_ and oid and no INTEGER PRIMARY "
                             "KEY, so its records cannot be told apart");
    }
    layout.rowid = QuoteIdentifier(layout.columns[layout.rowidAlias].name);
    return layout;
}

}  // namespace rowsmith
