#include "engine/sqlite/sqlite_constraints.h"

#include <map>
#include <vector>

#include "engine/database_errors.h"
#include "engine/sqlite/sqlite_statement.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// The rows of a query with one text parameter, every value as text ("" for NULL).
std::vector<std::vector<std::string>> Rows(sqlite3* db, const std::string& sql,
                                           const std::string& parameter) {
    SqliteStatement statement(db, sql);
    sqlite3_bind_text(statement.get(), 1, parameter.c_str(), static_cast<int>(parameter.size()),
                      SQLITE_TRANSIENT);
    std::vector<std::vector<std::string>> rows;
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int i = 0; i < sqlite3_column_count(statement.get()); ++i) {
            row.push_back(sqlite3_column_type(statement.get(), i) == SQLITE_NULL
                              ? std::string()
                              : ColumnText(statement.get(), i));
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        throw EDBEngineError(sqlite3_errmsg(db));
    }
    return rows;
}

}  // namespace

TableConstraints ReadSqliteConstraints(sqlite3* db, const std::string& table) {
    if (Rows(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?", table).empty()) {
        throw EDBEngineError("no such table: " + table);
    }
    TableConstraints constraints;
    std::map<int, std::string> primaryKey;
    std::string primaryType;
    for (const auto& row : Rows(db,
                                "SELECT name, \"notnull\", dflt_value IS NOT NULL, pk, type "
                                "FROM pragma_table_info(?) ORDER BY cid",
                                table)) {
        constraints.columns.push_back(ColumnConstraint{row[0], row[1] == "1", row[2] == "1"});
        if (row[3] != "0") {
            primaryKey[std::stoi(row[3])] = row[0];
            primaryType = row[4];
        }
    }
    if (!primaryKey.empty()) {
        std::vector<std::string> key;
        for (const auto& [position, name] : primaryKey) {
            key.push_back(name);
        }
        // A single INTEGER PRIMARY KEY is the rowid, which SQLite numbers itself.
        if (key.size() == 1 && SameText(primaryType, "INTEGER")) {
            for (ColumnConstraint& column : constraints.columns) {
                column.hasDefault = column.hasDefault || column.name == key.front();
            }
        }
        constraints.uniqueKeys.push_back(std::move(key));
    }
    for (const auto& index : Rows(db,
                                  "SELECT name FROM pragma_index_list(?) "
                                  "WHERE \"unique\" = 1 AND origin <> 'pk' ORDER BY seq",
                                  table)) {
        std::vector<std::string> key;
        bool onColumns = true;
        for (const auto& part :
             Rows(db, "SELECT name FROM pragma_index_info(?) ORDER BY seqno", index[0])) {
            // An index on an expression says nothing about a column's values.
            onColumns = onColumns && !part[0].empty();
            key.push_back(part[0]);
        }
        if (onColumns && !key.empty()) {
            constraints.uniqueKeys.push_back(std::move(key));
        }
    }
    std::string lastId;
    for (const auto& row : Rows(db,
                                "SELECT id, \"table\", \"from\", \"to\" "
                                "FROM pragma_foreign_key_list(?) ORDER BY id, seq",
                                table)) {
        if (constraints.foreignKeys.empty() || row[0] != lastId) {
            constraints.foreignKeys.push_back(ForeignKey{{}, row[1], {}});
            lastId = row[0];
        }
        ForeignKey& key = constraints.foreignKeys.back();
        key.columns.push_back(row[2]);
        if (!row[3].empty()) {
            key.parentColumns.push_back(row[3]);
        }
    }
    return constraints;
}

}  // namespace rowsmith
