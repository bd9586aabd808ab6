#include "engine/mariadb/mariadb_connection.h"

#include <mysqld_error.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "engine/database_errors.h"
#include "engine/mariadb/mariadb_constraints.h"
#include "engine/mariadb/mariadb_table.h"

namespace rowsmith {

namespace {

constexpr int kLoginAttempts = 3;

struct MysqlDeleter {
    void operator()(MYSQL* conn) const { mysql_close(conn); }
};
using MysqlPtr = std::unique_ptr<MYSQL, MysqlDeleter>;

const char* OrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

bool MustEncrypt(const std::string& sslMode) {
    return sslMode == "require" || sslMode == "verify-ca" || sslMode == "verify-full";
}

// SSL MODE in Connector/C's terms. It cannot try a plain connection first and TLS after, so
// "allow" asks for TLS where the server offers it, as "prefer" does; and it checks a server
// certificate only together with the server's name, so "verify-ca" checks both, as "verify-full".
// Without a check it takes a plain connection from a server that offers no TLS, so "require" is
// made sure of after connecting (see Dial).
void SetUpTls(MYSQL* conn, const AliasConfig& alias, const std::string& sslMode) {
    const bool filesGiven = !alias.sslCa.empty() || !alias.sslCert.empty() ||
                            !alias.sslKey.empty() || !alias.sslCrl.empty();
    if (sslMode == "disable" || (sslMode.empty() && !filesGiven)) {
        return;
    }
    mysql_ssl_set(conn, OrNull(alias.sslKey), OrNull(alias.sslCert), OrNull(alias.sslCa), nullptr,
                  nullptr);
    if (!alias.sslCrl.empty()) {
        mysql_options(conn, MYSQL_OPT_SSL_CRL, alias.sslCrl.c_str());
    }
    // Despite its name, this only turns TLS on.
    const my_bool useTls = 1;
    const my_bool verify = sslMode == "verify-ca" || sslMode == "verify-full";
    mysql_options(conn, MYSQL_OPT_SSL_ENFORCE, &useTls);
    mysql_options(conn, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &verify);
}

// Gives the open connection, or the refused one to read its error from.
MysqlPtr Dial(const AliasConfig& alias, const std::string& sslMode, const std::string& user,
              const std::string* password, bool& connected) {
    MysqlPtr conn(mysql_init(nullptr));
    if (!conn) {
        throw EDBEngineError("Out of memory");
    }
    // Texts are bytes that the program treats as UTF-8.
    mysql_options(conn.get(), MYSQL_SET_CHARSET_NAME, "utf8mb4");
    // The option files' [client] groups always count; the alias may name the group of its own.
    mysql_options(conn.get(), MYSQL_READ_DEFAULT_GROUP,
                  alias.optionGroup.empty() ? "rowsmith" : alias.optionGroup.c_str());
    SetUpTls(conn.get(), alias, sslMode);
    const unsigned port = static_cast<unsigned>(std::strtoul(alias.port.c_str(), nullptr, 10));
    // FOUND_ROWS: an update counts the rows it matched, so one that changes nothing in a record
    // is not taken for a record that is gone.
    connected = mysql_real_connect(conn.get(), OrNull(alias.host), OrNull(user),
                                   password ? password->c_str() : nullptr, OrNull(alias.database),
                                   port, OrNull(alias.socket), CLIENT_FOUND_ROWS) != nullptr;
    if (connected && MustEncrypt(sslMode) && mysql_get_ssl_cipher(conn.get()) == nullptr) {
        throw EDBEngineError("The server of alias '" + alias.name + "' does not offer TLS, " +
                             "which its SSL MODE " + sslMode + " asks for");
    }
    return conn;
}

bool PasswordRefused(MYSQL* conn) {
    return mysql_errno(conn) == ER_ACCESS_DENIED_ERROR;
}

// The alias's LOCK TIMEOUT in whole seconds for the server; 0, waiting as long as it takes, is
// the server's largest wait.
long LockTimeout(const AliasConfig& alias) {
    constexpr long kLongestWait = 1073741824;
    const int ms = LockTimeoutMs(alias);
    return ms == 0 ? kLongestWait : std::max(1L, static_cast<long>(ms / 1000));
}

// Strict mode turns what the server would silently cut or clamp into errors; a lock held by
// another program is waited for only so long.
void SetUpSession(MYSQL* conn, long lockTimeout) {
    const std::string setup =
        "SET SESSION sql_mode = 'STRICT_ALL_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_ZERO_DATE,"
        "NO_ZERO_IN_DATE,NO_ENGINE_SUBSTITUTION', innodb_lock_wait_timeout = " +
        std::to_string(lockTimeout) + ", lock_wait_timeout = " + std::to_string(lockTimeout);
    if (mysql_real_query(conn, setup.data(), setup.size()) != 0) {
        throw EDBEngineError(mysql_error(conn));
    }
}

}  // namespace

std::unique_ptr<Connection> ConnectMariaDb(const AliasConfig& alias, const LoginHandler& login) {
    const long lockTimeout = LockTimeout(alias);
    const std::string sslMode = SslMode(alias);
    CheckAliasFiles(alias);
    std::optional<std::string> password = alias.password;
    std::string user = alias.user;
    bool connected = false;
    MysqlPtr conn = Dial(alias, sslMode, user, password ? &*password : nullptr, connected);
    if (!connected && !password && PasswordRefused(conn.get())) {
        for (int attempt = 0; attempt < kLoginAttempts && !connected; ++attempt) {
            if (!PasswordRefused(conn.get())) {
                break;
            }
            const LoginPrompt prompt{alias.name, mysql_error(conn.get()), attempt > 0};
            // The password lives in this connection's memory only.
            password.emplace();
            if (!login || !login(prompt, user, *password)) {
                throw EDatabaseError("Cannot connect to database '" + alias.name + "'");
            }
            conn = Dial(alias, sslMode, user, &*password, connected);
        }
    }
    if (!connected) {
        throw EDBEngineError(mysql_error(conn.get()));
    }
    SetUpSession(conn.get(), lockTimeout);
    // A lost connection is opened again with the login that worked.
    MariaDialer redial = [alias, sslMode, user, password, lockTimeout] {
        bool again = false;
        MysqlPtr fresh = Dial(alias, sslMode, user, password ? &*password : nullptr, again);
        if (!again) {
            throw EDBEngineError(mysql_error(fresh.get()));
        }
        SetUpSession(fresh.get(), lockTimeout);
        return fresh.release();
    };
    return std::make_unique<MariaDbConnection>(
        std::make_unique<MariaLink>(conn.release(), std::move(redial)));
}

MariaDbConnection::MariaDbConnection(std::unique_ptr<MariaLink> link)
    : writer_(std::make_shared<MariaWriter>(std::move(link))) {}

std::vector<std::string> MariaDbConnection::ListTables(bool) {
    std::vector<MariaRow> rows = writer_->Settled().Query(
        "SELECT TABLE_NAME FROM information_schema.TABLES "
        "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_TYPE = 'BASE TABLE' ORDER BY TABLE_NAME");
    std::vector<std::string> names;
    for (const MariaRow& row : rows) {
        if (const auto* name = std::get_if<std::string>(&row[0])) {
            names.push_back(*name);
        }
    }
    return names;
}

std::unique_ptr<TableDriver> MariaDbConnection::OpenTable(const std::string& name, bool exclusive) {
    return std::make_unique<MariaDbTable>(writer_, name, exclusive);
}

void MariaDbConnection::BeginFillRun() {
    writer_->BeginRun();
}

void MariaDbConnection::EndFillRun() {
    writer_->EndRun();
}

void MariaDbConnection::BeginDryRun() {
    writer_->BeginDryRun();
}

void MariaDbConnection::EndDryRun() {
    writer_->EndDryRun();
}

TableConstraints MariaDbConnection::ReadConstraints(const std::string& table) {
    return ReadMariaConstraints(writer_->Settled(), table);
}

}  // namespace rowsmith
