// PgLink: one libpq connection and the few ways the PostgreSQL driver talks through it. Every
// failure becomes an EDBEngineError carrying the server's message (primary text, then detail, one
// per line). Values always travel as bound text parameters, never inside the SQL.
#pragma once

#include <libpq-fe.h>

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/batch_core.h"

namespace rowsmith {

// A text parameter or result value; nullopt is SQL NULL.
using PgText = std::optional<std::string>;

struct PgResultDeleter {
    void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, PgResultDeleter>;

class PgLink final : public BatchLink {
public:
    // Takes ownership of an open connection.
    explicit PgLink(PGconn* conn);
    ~PgLink() override;
    PgLink(const PgLink&) = delete;
    PgLink& operator=(const PgLink&) = delete;

    // Runs SQL without parameters (one or more statements).
    void Execute(const std::string& sql) override;
    // Runs one statement with text parameters and returns its result.
    PgResult Query(const std::string& sql, const std::vector<PgText>& params = {});
    // The same for a statement run again and again (an update per record): the server parses
    // and plans it once per connection.
    PgResult QueryPrepared(const std::string& sql, const std::vector<PgText>& params);

    // COPY ... FROM STDIN: Start, Send any number of rows in text format, then Finish, which
    // raises the server's verdict on the whole stream. EndCopy and AwaitResult are Finish in two
    // steps, so that the caller can go on while the server finishes; nothing else may use the
    // link between.
    void StartCopy(const std::string& sql);
    void SendCopyData(const char* data, std::size_t size);
    void FinishCopy();
    void EndCopy();
    // Sends one statement without parameters and goes on; AwaitResult gives its result, and
    // nothing else may use the link between.
    void SendQuery(const std::string& sql);
    // Whether the result of what EndCopy or SendQuery left running is in, so that AwaitResult
    // would not wait.
    bool ResultIn();
    // That result; its failure is raised.
    PgResult AwaitResult();
    // Ends a running COPY so that nothing of it is kept; never raises.
    void AbandonCopy();
    bool Copying() const { return copying_; }

    // True while the server connection is alive.
    bool Alive() const override;
    // True while a transaction is open on the server, failed or not.
    bool InTransaction() const;
    // True while the open transaction has failed: only a rollback is taken.
    bool TransactionFailed() const override;
    // Reconnects a connection that was lost, with the same settings; raises when that fails.
    void Revive();
    // A second connection with the same settings (password included).
    std::unique_ptr<PgLink> Twin() const;

    PGconn* Raw() const { return conn_; }

private:
    [[noreturn]] void Fail(const PGresult* result) const;
    PgResult Check(PGresult* result, ExecStatusType expected) const;
    // A command's or a query's result, raising its failure.
    PgResult CheckQuery(PGresult* result) const;

    PGconn* conn_;
    bool copying_ = false;
    // Statement names by SQL text; a reconnect forgets them with the server.
    std::unordered_map<std::string, std::string> prepared_;
};

// The error text of a failed result, or of the connection when there is no result.
std::string PgErrorText(const PGconn* conn, const PGresult* result);

}  // namespace rowsmith
