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

// Whatever follows the column list's closing parenthesis holds the table options.
bool DeclaresWithoutRowid(sqlite3* db, const std::string& name) {
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
    const std::string createSql = ColumnText(master.get(), 0);
    const auto close = createSql.rfind(')');
    return close != std::string::npos &&
           UpperCase(createSql.substr(close)).find("ROWID") != std::string::npos;
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
    const bool withoutRowid = DeclaresWithoutRowid(db, name);
    const std::vector<DeclaredColumn> declared = DeclaredColumns(db, name);
    SqliteLayout layout;

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
