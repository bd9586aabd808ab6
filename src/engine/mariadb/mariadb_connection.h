// The MariaDB driver's entry point (MySQL servers too: they speak the same protocol). Everything
// MariaDB-specific stays below this folder; the connection factory calls ConnectMariaDb for
// aliases with DRIVER=MARIADB or DRIVER=MYSQL.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/alias_config.h"
#include "engine/driver.h"
#include "engine/login_handler.h"
#include "engine/mariadb/mariadb_writer.h"

namespace rowsmith {

// Connects with the alias's HOST, PORT, SOCKET, DATABASE NAME, USER NAME, PASSWORD, OPTION GROUP
// and TLS keys; a TLS file that cannot be read or an unknown SSL MODE is refused before anything
// is sent. When the
// server refuses a login that has no password, `login` is asked, up to three times while the
// server refuses it. Raises EDatabaseError "Cannot connect to database '%s'" when the login is
// cancelled, EDBEngineError with the server's message for every other failure. The session runs
// in strict SQL mode, so a value the server would cut or clamp is refused instead.
std::unique_ptr<Connection> ConnectMariaDb(const AliasConfig& alias, const LoginHandler& login);

class MariaDbConnection : public Connection {
public:
    explicit MariaDbConnection(std::unique_ptr<MariaLink> link);

    // The database's base tables, by name.
    std::vector<std::string> ListTables(bool withExtensions) override;
    std::unique_ptr<TableDriver> OpenTable(const std::string& name, bool exclusive) override;
    void BeginFillRun() override;
    void EndFillRun() override;
    void BeginDryRun() override;
    void EndDryRun() override;
    TableConstraints ReadConstraints(const std::string& table) override;

private:
    // Shared with the tables, which may outlive this connection.
    std::shared_ptr<MariaWriter> writer_;
};

}  // namespace rowsmith
