#include "engine/connection_factory.h"

#include "engine/database_errors.h"
#include "engine/mariadb/mariadb_connection.h"
#include "engine/postgres/postgres_connection.h"
#include "engine/sqlite/demo_database.h"
#include "engine/sqlite/sqlite_connection.h"

namespace rowsmith {

std::unique_ptr<Connection> OpenConnection(const AliasConfig& config, const LoginHandler& login) {
    if (config.driver == "SQLITE") {
        // SQLite would take an empty path for a temporary database that nobody else sees.
        if (config.path.empty()) {
            throw EDBEngineError("Alias '" + config.name + "' names no database file (PATH)");
        }
        if (config.demo) {
            EnsureDemoDatabase(config.path);
        }
        return ConnectSqlite(config.path, LockTimeoutMs(config), ForeignKeysEnforced(config));
    }
    if (config.driver == "POSTGRESQL") {
        return ConnectPostgres(config, login);
    }
    // MySQL servers speak the same protocol.
    if (config.driver == "MARIADB" || config.driver == "MYSQL") {
        return ConnectMariaDb(config, login);
    }
    throw EDBEngineError("Unknown driver '" + config.driver + "' for alias '" + config.name + "'");
}

}  // namespace rowsmith
