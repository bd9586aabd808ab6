#include "engine/postgres/postgres_connection.h"

#include "engine/postgres/pg_constraints.h"

#include "engine/database_errors.h"
#include "engine/postgres/postgres_table.h"

namespace rowsmith {

namespace {

constexpr int kLoginAttempts = 3;

struct PgConnDeleter {
    void operator()(PGconn* conn) const { PQfinish(conn); }
};
using PgConnPtr = std::unique_ptr<PGconn, PgConnDeleter>;

PgConnPtr Dial(const AliasConfig& alias, const std::string& sslMode, const std::string& user,
               const std::string* password, const std::string& options) {
    std::vector<const char*> keys;
    std::vector<const char*> values;
    auto add = [&](const char* key, const std::string& value) {
        if (!value.empty()) {
            keys.push_back(key);
            values.push_back(value.c_str());
        }
    };
    add("host", alias.host);
    add("port", alias.port);
    add("dbname", alias.database);
    add("user", user);
    add("service", alias.service);
    add("sslmode", sslMode);
    add("sslrootcert", alias.sslRootCert);
    add("sslcert", alias.sslCert);
    add("sslkey", alias.sslKey);
    add("sslcrl", alias.sslCrl);
    if (password != nullptr) {
        keys.push_back("password");
        values.push_back(password->c_str());
    }
    // Texts are bytes that the program treats as UTF-8; dates go both ways as ISO text.
    keys.push_back("client_encoding");
    values.push_back("UTF8");
    keys.push_back("options");
    values.push_back(options.c_str());
    keys.push_back("fallback_application_name");
    values.push_back("rowsmith");
    keys.push_back(nullptr);
    values.push_back(nullptr);
    // expand_dbname 0: a database name is only ever a name, never a connection string.
    return PgConnPtr(PQconnectdbParams(keys.data(), values.data(), 0));
}

bool Connected(const PgConnPtr& conn) {
    return conn && PQstatus(conn.get()) == CONNECTION_OK;
}

// The server refused the password that was given (as opposed to an unknown database, say).
bool PasswordRefused(const PgConnPtr& conn) {
    return PQconnectionNeedsPassword(conn.get()) ||
           (PQconnectionUsedPassword(conn.get()) &&
            std::string(PQerrorMessage(conn.get())).find("password") != std::string::npos);
}

}  // namespace

std::unique_ptr<Connection> ConnectPostgres(const AliasConfig& alias, const LoginHandler& login) {
    // A lock another connection holds stops a statement after LOCK TIMEOUT rather than leaving
    // the fill waiting without a word. The cursors' second connection copies these options.
    const std::string options =
        "-c DateStyle=ISO,YMD -c lock_timeout=" + std::to_string(LockTimeoutMs(alias));
    const std::string sslMode = SslMode(alias);
    CheckAliasFiles(alias);
    const std::string* aliasPassword = alias.password ? &*alias.password : nullptr;
    PgConnPtr conn = Dial(alias, sslMode, alias.user, aliasPassword, options);
    if (!Connected(conn) && aliasPassword == nullptr && PQconnectionNeedsPassword(conn.get())) {
        std::string user = alias.user;
        for (int attempt = 0; attempt < kLoginAttempts && !Connected(conn); ++attempt) {
            if (!PasswordRefused(conn)) {
                break;
            }
            const LoginPrompt prompt{alias.name, PgErrorText(conn.get(), nullptr), attempt > 0};
            // The password lives in this connection's memory only, for reconnecting.
            std::string password;
            if (!login || !login(prompt, user, password)) {
                throw EDatabaseError("Cannot connect to database '" + alias.name + "'");
            }
            conn = Dial(alias, sslMode, user, &password, options);
        }
    }
    if (!Connected(conn)) {
        throw EDBEngineError(PgErrorText(conn.get(), nullptr));
    }
    std::string schema = alias.schema.empty() ? "public" : alias.schema;
    return std::make_unique<PostgresConnection>(std::make_unique<PgLink>(conn.release()),
                                                std::move(schema));
}

PostgresConnection::PostgresConnection(std::unique_ptr<PgLink> link, std::string schema)
    : writer_(std::make_shared<PgWriter>(std::move(link))), schema_(std::move(schema)) {}

std::vector<std::string> PostgresConnection::ListTables(bool) {
    writer_->Settle();
    PgResult result = writer_->Link().Query(
        "SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
        "WHERE n.nspname = $1 AND c.relkind IN ('r', 'p') AND NOT c.relispartition "
        "ORDER BY c.relname",
        {schema_});
    std::vector<std::string> names;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        names.emplace_back(PQgetvalue(result.get(), row, 0));
    }
    return names;
}

std::unique_ptr<TableDriver> PostgresConnection::OpenTable(const std::string& name,
                                                           bool exclusive) {
    return std::make_unique<PostgresTable>(writer_, schema_, name, exclusive);
}

void PostgresConnection::BeginFillRun() {
    writer_->BeginRun();
}

void PostgresConnection::EndFillRun() {
    writer_->EndRun();
}

void PostgresConnection::BeginDryRun() {
    writer_->BeginDryRun();
}

void PostgresConnection::EndDryRun() {
    writer_->EndDryRun();
}

TableConstraints PostgresConnection::ReadConstraints(const std::string& table) {
    writer_->Settle();
    return ReadPgConstraints(writer_->Link(), schema_, table);
}

}  // namespace rowsmith
