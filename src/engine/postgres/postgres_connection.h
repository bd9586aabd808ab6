// The PostgreSQL driver's entry point. Everything PostgreSQL-specific stays below this folder; the
// connection factory calls ConnectPostgres for aliases with DRIVER=POSTGRESQL.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/alias_config.h"
#include "engine/driver.h"
#include "engine/login_handler.h"
#include "engine/postgres/pg_writer.h"

namespace rowsmith {

// Connects with the alias's HOST, PORT, DATABASE NAME, USER NAME, PASSWORD, SERVICE and TLS keys;
// keys left unset are left to libpq (its environment variables, password and service files).
// A TLS file that cannot be read or an unknown SSL MODE is refused before anything is sent.
// Statements wait for other connections' locks up to the alias's LOCK TIMEOUT, then fail with
// ELockTimeout. When the server wants a password that nothing supplied, `login` is asked, up to
// three times while the server refuses it. Raises EDatabaseError "Cannot connect to database '%s'"
// when the login is cancelled, EDBEngineError with the server's message for every other failure.
std::unique_ptr<Connection> ConnectPostgres(const AliasConfig& alias, const LoginHandler& login);

class PostgresConnection : public Connection {
public:
    PostgresConnection(std::unique_ptr<PgLink> link, std::string schema);

    // The schema's tables and partitioned tables, by name.
    std::vector<std::string> ListTables(bool withExtensions) override;
    std::unique_ptr<TableDriver> OpenTable(const std::string& name, bool exclusive) override;
    void BeginFillRun() override;
    void EndFillRun() override;
    void BeginDryRun() override;
    void EndDryRun() override;
    TableConstraints ReadConstraints(const std::string& table) override;

private:
    // Shared with the tables, which may outlive this connection.
    std::shared_ptr<PgWriter> writer_;
    std::string schema_;
};

}  // namespace rowsmith
