#include "engine/sqlite/demo_upgrade.h"

#include <algorithm>
#include <vector>

#include "engine/alias_config.h"
#include "engine/database_errors.h"
#include "engine/sqlite/demo_schema.h"
#include "engine/sqlite/sqlite_database.h"
#include "engine/sqlite/sqlite_statement.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

struct ExistingColumn {
    std::string name;
    std::string type;
};

// The first column of every row of `sql`'s result.
std::vector<std::string> Texts(sqlite3* db, const std::string& sql) {
    SqliteStatement statement(db, sql);
    std::vector<std::string> texts;
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        texts.push_back(ColumnText(statement.get(), 0));
    }
    if (rc != SQLITE_DONE) {
        throw EDBEngineError(sqlite3_errmsg(db));
    }
    return texts;
}

int UserVersion(sqlite3* db) {
    return std::stoi(Texts(db, "PRAGMA user_version").at(0));
}

std::string Quoted(const std::string& name) {
    return "'" + name + "'";
}

std::vector<ExistingColumn> ColumnsOf(sqlite3* db, const DemoTable& table) {
    const std::string of = "FROM pragma_table_info(" + Quoted(table.name) + ") ORDER BY cid";
    const std::vector<std::string> names = Texts(db, "SELECT name " + of);
    const std::vector<std::string> types = Texts(db, "SELECT type " + of);
    std::vector<ExistingColumn> columns;
    for (std::size_t i = 0; i < names.size(); ++i) {
        columns.push_back({names[i], types[i]});
    }
    return columns;
}

bool Knows(const DemoTable& table, const std::string& column) {
    return std::any_of(table.columns.begin(), table.columns.end(),
                       [&](const DemoColumn& known) { return SameText(known.name, column); });
}

// Whether the file holds the demo's five tables and nothing else of its own making (no other
// table, view or trigger, no column the demo does not know): only then is it ours to change.
bool HoldsOnlyTheDemo(sqlite3* db) {
    std::vector<std::string> names;
    for (const DemoTable& table : DemoTables()) {
        names.push_back(table.name);
    }
    std::sort(names.begin(), names.end());
    if (Texts(db,
              "SELECT name FROM sqlite_master WHERE type <> 'index' AND name NOT LIKE 'sqlite\\_%' "
              "ESCAPE '\\' ORDER BY name") != names) {
        return false;
    }
    for (const DemoTable& table : DemoTables()) {
        for (const ExistingColumn& column : ColumnsOf(db, table)) {
            if (!Knows(table, column.name)) {
                return false;
            }
        }
    }
    return true;
}

// Whether adding the missing columns at the end is not enough: a column stands elsewhere or has
// another type, or a reference does not cascade.
bool NeedsRebuild(sqlite3* db, const DemoTable& table, const std::vector<ExistingColumn>& columns) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!SameText(columns[i].name, table.columns[i].name) ||
            !SameText(columns[i].type, table.columns[i].type)) {
            return true;
        }
    }
    return !Texts(db, "SELECT \"from\" FROM pragma_foreign_key_list(" + Quoted(table.name) +
                          ") WHERE on_delete <> 'CASCADE'")
                .empty();
}

// SQLite's procedure for a change ALTER TABLE cannot make. References are not checked while it
// runs (the connection has them off), and the records are copied as they are: an earlier version
// let a record refer to one that is gone, and the upgrade must not lose it.
void Rebuild(SqliteDatabase& database, const DemoTable& table,
             const std::vector<ExistingColumn>& columns) {
    const std::string name = table.name;
    // Dropping the table drops its indexes; the automatic ones (sql NULL) come back by themselves.
    const std::vector<std::string> indexes =
        Texts(database.Handle(),
              "SELECT sql FROM sqlite_master WHERE type = 'index' AND tbl_name = " + Quoted(name) +
                  " AND sql IS NOT NULL");
    std::string kept;
    for (const ExistingColumn& column : columns) {
        kept += (kept.empty() ? "\"" : ", \"") + column.name + "\"";
    }
    database.Execute(DemoTableSql(table, "rowsmith_new_" + name).c_str());
    database.Execute(("INSERT INTO \"rowsmith_new_" + name + "\" (" + kept + ") SELECT " + kept +
                      " FROM \"" + name + "\"")
                         .c_str());
    database.Execute(("DROP TABLE \"" + name + "\"").c_str());
    database.Execute(
        ("ALTER TABLE \"rowsmith_new_" + name + "\" RENAME TO \"" + name + "\"").c_str());
    for (const std::string& index : indexes) {
        database.Execute(index.c_str());
    }
}

void Upgrade(SqliteDatabase& database) {
    for (const DemoTable& table : DemoTables()) {
        const std::vector<ExistingColumn> columns = ColumnsOf(database.Handle(), table);
        if (NeedsRebuild(database.Handle(), table, columns)) {
            Rebuild(database, table, columns);
            continue;
        }
        for (std::size_t i = columns.size(); i < table.columns.size(); ++i) {
            database.Execute((std::string("ALTER TABLE \"") + table.name + "\" ADD COLUMN " +
                              DemoColumnSql(table.columns[i]))
                                 .c_str());
        }
    }
    database.Execute(kDemoIndexes);
    database.Execute(("PRAGMA user_version = " + std::to_string(kDemoSchemaVersion)).c_str());
}

bool NeedsUpgrade(sqlite3* db) {
    return UserVersion(db) < kDemoSchemaVersion && HoldsOnlyTheDemo(db);
}

}  // namespace

void UpgradeDemoDatabase(const std::string& path) {
    // References off: the rebuild drops tables that others refer to.
    SqliteDatabase database(path, kDefaultLockTimeoutMs, false);
    // Only reading until there is something to do, so a current demo, or a file that is not ours,
    // opens as before even when it cannot be written.
    if (!NeedsUpgrade(database.Handle())) {
        return;
    }
    // Another program may be upgrading the same file: look again once the write lock is held.
    // Leaving with an error closes the connection, which rolls the transaction back.
    database.Execute("BEGIN IMMEDIATE");
    if (NeedsUpgrade(database.Handle())) {
        Upgrade(database);
    }
    database.Execute("COMMIT");
}

}  // namespace rowsmith
