// SqliteStatement: one prepared statement, finalized when the object goes away. The driver keeps
// its statements prepared for the life of a table and only resets them between uses.
#pragma once

#include <sqlite3.h>

#include <string>
#include <utility>

namespace rowsmith {

class SqliteStatement {
public:
    SqliteStatement() = default;
    // Throws EDBEngineError with SQLite's message when the SQL does not compile.
    SqliteStatement(sqlite3* db, const std::string& sql);
    ~SqliteStatement() { sqlite3_finalize(stmt_); }
    SqliteStatement(SqliteStatement&& other) noexcept
        : stmt_(std::exchange(other.stmt_, nullptr)) {}
    SqliteStatement& operator=(SqliteStatement&& other) noexcept {
        std::swap(stmt_, other.stmt_);
        return *this;
    }

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// The text of a result column of the row the statement stands on; empty for NULL.
std::string ColumnText(sqlite3_stmt* statement, int column);

}  // namespace rowsmith
