#include "engine/sqlite/sqlite_connection.h"

#include "engine/database_errors.h"
#include "engine/sqlite/sqlite_constraints.h"
#include "engine/sqlite/sqlite_database.h"
#include "engine/sqlite/sqlite_statement.h"
#include "engine/sqlite/sqlite_table.h"

namespace rowsmith {

namespace {

class SqliteConnection : public Connection {
public:
    SqliteConnection(const std::string& path, int lockTimeoutMs, bool foreignKeys)
        : database_(std::make_shared<SqliteDatabase>(path, lockTimeoutMs, foreignKeys)) {}

    // SQLite tables are no files of their own, so there is no extension to add.
    std::vector<std::string> ListTables([[maybe_unused]] bool withExtensions) override {
        SqliteStatement statement(database_->Handle(),
                                  "SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                  "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                                  "ORDER BY name COLLATE NOCASE");
        std::vector<std::string> names;
        int rc;
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
            const auto* name = sqlite3_column_text(statement.get(), 0);
            names.emplace_back(reinterpret_cast<const char*>(name));
        }
        if (rc != SQLITE_DONE) {
            throw EDBEngineError(sqlite3_errmsg(database_->Handle()));
        }
        return names;
    }

    // SQLite locks whole databases, not tables: the write transaction of a fill run
    // (BEGIN IMMEDIATE) is what keeps other programs from writing while the fill writes, and our
    // own cursors share this connection, so they can still read the table.
    std::unique_ptr<TableDriver> OpenTable(const std::string& name,
                                           [[maybe_unused]] bool exclusive) override {
        return std::make_unique<SqliteTable>(database_, name);
    }

    void BeginFillRun() override { database_->BeginRun(); }
    void EndFillRun() override { database_->EndRun(); }
    void BeginDryRun() override { database_->BeginDryRun(); }
    void EndDryRun() override { database_->EndDryRun(); }
    TableConstraints ReadConstraints(const std::string& table) override {
        return ReadSqliteConstraints(database_->Handle(), table);
    }

private:
    std::shared_ptr<SqliteDatabase> database_;
};

}  // namespace

std::unique_ptr<Connection> ConnectSqlite(const std::string& path, int lockTimeoutMs,
                                          bool foreignKeys) {
    return std::make_unique<SqliteConnection>(path, lockTimeoutMs, foreignKeys);
}

}  // namespace rowsmith
