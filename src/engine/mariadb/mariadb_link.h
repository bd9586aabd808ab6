// MariaLink: one MariaDB Connector/C connection and the ways the MariaDB driver talks through it.
// Every failure becomes an EDBEngineError carrying the server's message, an ELockTimeout when a
// lock wait ran out. Values travel as bound parameters of prepared statements, never inside the
// SQL; each statement is prepared once.
#pragma once

#include <mysql.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/batch_core.h"
#include "engine/field_value.h"

namespace rowsmith {

// How a value is bound: bytes go as a blob, so the server never reads them as characters, and
// the integers of a BIGINT UNSIGNED column as unsigned, so that all of them compare exactly.
enum class MariaBind : unsigned char { Plain, Bytes, Unsigned };

struct MariaParam {
    const FieldValue* value;
    MariaBind bind = MariaBind::Plain;
};

// A result value: integer columns as integers (BIGINT UNSIGNED as the 64-bit pattern), every
// other column as its text; empty is NULL.
using MariaRow = std::vector<FieldValue>;

// Opens a new connection set up for the driver, or raises the server's refusal.
using MariaDialer = std::function<MYSQL*()>;

class MariaLink final : public BatchLink {
public:
    // Takes ownership of an open connection; `redial` opens another like it when it is lost.
    MariaLink(MYSQL* conn, MariaDialer redial);
    ~MariaLink() override;
    MariaLink(const MariaLink&) = delete;
    MariaLink& operator=(const MariaLink&) = delete;

    // Runs SQL without parameters or result.
    void Execute(const std::string& sql) override;
    // Runs one statement with bound parameters; gives its rows when it has a result. The
    // statement stays prepared for the next call with the same SQL, unless `once`.
    std::vector<MariaRow> Query(const std::string& sql, const std::vector<MariaParam>& params = {},
                                bool once = false);
    // The number of rows the last Query changed.
    std::uint64_t AffectedRows() const { return affected_; }
    std::uint64_t LastInsertId() const { return insertId_; }
    // True while a transaction is open on the server.
    bool InTransaction();
    // True when the last failure lost the connection: the server rolled back what was open.
    bool Lost() const { return lost_; }
    bool Alive() const override { return !lost_; }
    // The server undoes a refused statement alone; the transaction goes on.
    bool TransactionFailed() const override { return false; }
    // Replaces a lost connection with a new one; raises when the server cannot be reached.
    void Revive();
    // Counts the connections this link has had, so that what lives on one (a temporary table)
    // can tell whether it is still there.
    std::uint64_t Generation() const { return generation_; }

private:
    struct StmtDeleter {
        void operator()(MYSQL_STMT* stmt) const { mysql_stmt_close(stmt); }
    };
    using StmtPtr = std::unique_ptr<MYSQL_STMT, StmtDeleter>;

    MYSQL_STMT* Prepared(const std::string& sql);
    std::vector<MariaRow> Run(MYSQL_STMT* stmt, const std::string& sql,
                              const std::vector<MariaParam>& params);
    // Raises the failure `code` as the error class it belongs to.
    [[noreturn]] void Raise(unsigned code, const char* message);
    [[noreturn]] void Fail(MYSQL_STMT* stmt, const std::string& sql);
    std::vector<MariaRow> Fetch(MYSQL_STMT* stmt, const std::string& sql);

    MYSQL* conn_;
    MariaDialer redial_;
    std::unordered_map<std::string, StmtPtr> prepared_;
    std::uint64_t affected_ = 0;
    std::uint64_t insertId_ = 0;
    bool lost_ = false;
    std::uint64_t generation_ = 1;
};

// `name` in backquotes, every backquote doubled: safe for any name.
std::string QuoteMariaIdentifier(const std::string& name);

}  // namespace rowsmith
