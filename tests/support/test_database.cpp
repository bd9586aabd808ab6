#include "test_database.h"

#include <libpq-fe.h>
#include <mysql.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>

#include "engine/database_session.h"

namespace rowsmith::test {

class TestDatabase::Backend {
public:
    virtual ~Backend() = default;
    virtual void Execute(const std::string& sql) = 0;
    virtual std::vector<std::vector<std::string>> Query(const std::string& sql) = 0;
};

namespace {

class SqliteBackend : public TestDatabase::Backend {
public:
    explicit SqliteBackend(const std::string& path) {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
            throw std::runtime_error("cannot open " + path);
        }
        sqlite3_busy_timeout(db_, 2000);
    }
    ~SqliteBackend() override { sqlite3_close_v2(db_); }

    void Execute(const std::string& sql) override {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::string message = error ? error : "unknown error";
            sqlite3_free(error);
            throw std::runtime_error(message + " in: " + sql);
        }
    }

    std::vector<std::vector<std::string>> Query(const std::string& sql) override {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
        }
        std::vector<std::vector<std::string>> rows;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const unsigned char* text = sqlite3_column_text(stmt, i);
                row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) {
            throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
        }
        return rows;
    }

private:
    sqlite3* db_ = nullptr;
};

std::string PgEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A database of its own on the private test server, dropped again with everything in it.
class PostgresBackend : public TestDatabase::Backend {
public:
    PostgresBackend() {
        static std::atomic<int> serial{0};
        name_ = "rs_test_" + std::to_string(getpid()) + "_" + std::to_string(++serial);
        PGconn* admin = Connect("postgres");
        Run(admin, "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
        Run(admin, "CREATE DATABASE " + name_);
        PQfinish(admin);
        conn_ = Connect(name_);
    }
    ~PostgresBackend() override {
        PQfinish(conn_);
        // FORCE ends connections that a driver object still holds.
        PGconn* admin = Connect("postgres");
        PQclear(PQexec(admin, ("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)").c_str()));
        PQfinish(admin);
    }

    const std::string& Name() const { return name_; }

    // Rows that a test inserts with their keys given leave the server's numbering behind them,
    // as SQLite numbers after the largest key, so later appends do not collide.
    void Execute(const std::string& sql) override {
        Run(conn_, sql);
        if (sql.find("INSERT") != std::string::npos || sql.find("insert") != std::string::npos) {
            Run(conn_, kCatchUpSequences);
        }
    }

    std::vector<std::vector<std::string>> Query(const std::string& sql) override {
        PGresult* result = PQexec(conn_, sql.c_str());
        if (PQresultStatus(result) != PGRES_TUPLES_OK) {
            const std::string message = PQerrorMessage(conn_);
            PQclear(result);
            throw std::runtime_error(message + " in: " + sql);
        }
        std::vector<std::vector<std::string>> rows;
        for (int r = 0; r < PQntuples(result); ++r) {
            std::vector<std::string> row;
            for (int c = 0; c < PQnfields(result); ++c) {
                row.emplace_back(PQgetvalue(result, r, c));
            }
            rows.push_back(std::move(row));
        }
        PQclear(result);
        return rows;
    }

private:
    static PGconn* Connect(const std::string& database) {
        const char* keys[] = {"host", "port", "dbname", "user", nullptr};
        const std::string host = PgEnv("ROWSMITH_TEST_PGHOST");
        const std::string port = PgEnv("ROWSMITH_TEST_PGPORT");
        const char* values[] = {host.c_str(), port.empty() ? nullptr : port.c_str(),
                                database.c_str(), "postgres", nullptr};
        PGconn* conn = PQconnectdbParams(keys, values, 0);
        if (PQstatus(conn) != CONNECTION_OK) {
            const std::string message = PQerrorMessage(conn);
            PQfinish(conn);
            throw std::runtime_error("cannot reach the test server: " + message);
        }
        PQsetNoticeProcessor(
            conn, [](void*, const char*) {}, nullptr);
        return conn;
    }

    static void Run(PGconn* conn, const std::string& sql) {
        PGresult* result = PQexec(conn, sql.c_str());
        const ExecStatusType status = PQresultStatus(result);
        PQclear(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            throw std::runtime_error(std::string(PQerrorMessage(conn)) + " in: " + sql);
        }
    }

    static constexpr const char* kCatchUpSequences = R"sql(
DO $$
DECLARE c record; top bigint;
BEGIN
    FOR c IN SELECT a.attrelid::regclass AS tab, a.attname,
                    pg_get_serial_sequence(a.attrelid::regclass::text, a.attname) AS seq
             FROM pg_attribute a JOIN pg_class r ON r.oid = a.attrelid
             JOIN pg_namespace n ON n.oid = r.relnamespace
             WHERE r.relkind = 'r' AND a.attnum > 0 AND NOT a.attisdropped
               AND n.nspname NOT IN ('pg_catalog', 'information_schema')
               AND pg_get_serial_sequence(a.attrelid::regclass::text, a.attname) IS NOT NULL
    LOOP
        EXECUTE format('SELECT max(%I) FROM %s', c.attname, c.tab) INTO top;
        PERFORM setval(c.seq, coalesce(top, 0) + 1, false);
    END LOOP;
END $$)sql";

    std::string name_;
    PGconn* conn_ = nullptr;
};

// A database of its own on the private MariaDB server, dropped again with everything in it. The
// test connection reads double quotes as identifier quotes and || as concatenation, so tests
// share their SQL with the other engines.
class MariaDbBackend : public TestDatabase::Backend {
public:
    MariaDbBackend() {
        static std::atomic<int> serial{0};
        name_ = "rs_test_" + std::to_string(getpid()) + "_" + std::to_string(++serial);
        conn_ = Connect();
        Run("DROP DATABASE IF EXISTS " + name_);
        Run("CREATE DATABASE " + name_);
        Run("USE " + name_);
        Run("SET SESSION sql_mode = CONCAT(@@sql_mode, ',ANSI_QUOTES,PIPES_AS_CONCAT'),"
            " max_recursive_iterations = 100000000");
    }
    ~MariaDbBackend() override {
        // Connections that a driver object still holds would keep the database's tables locked.
        for (const auto& row : Query("SELECT id FROM information_schema.processlist WHERE db = '" +
                                     name_ + "' AND id <> CONNECTION_ID()")) {
            mysql_query(conn_, ("KILL " + row[0]).c_str());
        }
        mysql_query(conn_, ("DROP DATABASE IF EXISTS " + name_).c_str());
        mysql_close(conn_);
    }

    const std::string& Name() const { return name_; }

    void Execute(const std::string& sql) override { Run(sql); }

    std::vector<std::vector<std::string>> Query(const std::string& sql) override {
        Run(sql);
        MYSQL_RES* result = mysql_store_result(conn_);
        std::vector<std::vector<std::string>> rows;
        if (result == nullptr) {
            return rows;
        }
        const unsigned fields = mysql_num_fields(result);
        while (MYSQL_ROW row = mysql_fetch_row(result)) {
            const unsigned long* lengths = mysql_fetch_lengths(result);
            std::vector<std::string> values;
            for (unsigned i = 0; i < fields; ++i) {
                values.emplace_back(row[i] ? std::string(row[i], lengths[i]) : "");
            }
            rows.push_back(std::move(values));
        }
        mysql_free_result(result);
        return rows;
    }

private:
    static MYSQL* Connect() {
        MYSQL* conn = mysql_init(nullptr);
        const std::string socket = PgEnv("ROWSMITH_TEST_MYSOCKET");
        if (mysql_real_connect(conn, nullptr, "root", nullptr, nullptr, 0, socket.c_str(),
                               CLIENT_MULTI_STATEMENTS) == nullptr) {
            const std::string message = mysql_error(conn);
            mysql_close(conn);
            throw std::runtime_error("cannot reach the test server: " + message);
        }
        mysql_set_character_set(conn, "utf8mb4");
        return conn;
    }

    // Runs every statement of `sql`; the result of the last one is left to read.
    void Run(const std::string& sql) {
        if (mysql_real_query(conn_, sql.data(), sql.size()) != 0) {
            throw std::runtime_error(std::string(mysql_error(conn_)) + " in: " + sql);
        }
        while (mysql_more_results(conn_)) {
            if (MYSQL_RES* result = mysql_store_result(conn_)) {
                mysql_free_result(result);
            }
            if (mysql_next_result(conn_) > 0) {
                throw std::runtime_error(std::string(mysql_error(conn_)) + " in: " + sql);
            }
        }
    }

    std::string name_;
    MYSQL* conn_ = nullptr;
};

}  // namespace

std::vector<TestEngine> TestEngines() {
    return {TestEngine::SQLite, TestEngine::PostgreSQL, TestEngine::MariaDB};
}

std::string AbsentServer(TestEngine engine) {
    if (engine == TestEngine::PostgreSQL && PgEnv("ROWSMITH_TEST_PGHOST").empty()) {
        return "no PostgreSQL test server (run under tests/support/with-postgres)";
    }
    if (engine == TestEngine::MariaDB && PgEnv("ROWSMITH_TEST_MYSOCKET").empty()) {
        return "no MariaDB test server (run under tests/support/with-mariadb)";
    }
    return "";
}

std::vector<TestEngine> TestEnginesWithout(TestEngine left) {
    std::vector<TestEngine> engines = TestEngines();
    std::erase(engines, left);
    return engines;
}

std::string EngineName(TestEngine engine) {
    switch (engine) {
        case TestEngine::SQLite:
            return "SQLite";
        case TestEngine::PostgreSQL:
            return "PostgreSQL";
        case TestEngine::MariaDB:
            break;
    }
    return "MariaDB";
}

TestDatabase::TestDatabase(TestEngine engine) : engine_(engine) {
    configFile_ = folder_.File("aliases.ini");
    if (!AbsentServer(engine).empty()) {
        return;
    }
    if (engine == TestEngine::PostgreSQL) {
        auto backend = std::make_unique<PostgresBackend>();
        WriteFile(configFile_, "[" + alias_ +
                                   "]\nDRIVER=POSTGRESQL\nHOST=" + PgEnv("ROWSMITH_TEST_PGHOST") +
                                   "\nPORT=" + PgEnv("ROWSMITH_TEST_PGPORT") +
                                   "\nDATABASE NAME=" + backend->Name() + "\nUSER NAME=postgres\n");
        backend_ = std::move(backend);
        DatabaseSession::Instance().SetConfigFile(configFile_);
        return;
    }
    if (engine == TestEngine::MariaDB) {
        auto backend = std::make_unique<MariaDbBackend>();
        WriteFile(configFile_, "[" + alias_ +
                                   "]\nDRIVER=MARIADB\nSOCKET=" + PgEnv("ROWSMITH_TEST_MYSOCKET") +
                                   "\nDATABASE NAME=" + backend->Name() + "\nUSER NAME=root\n");
        backend_ = std::move(backend);
        DatabaseSession::Instance().SetConfigFile(configFile_);
        return;
    }
    WriteFile(configFile_, "[" + alias_ + "]\nDRIVER=SQLITE\nPATH=test.sqlite\n");
    backend_ = std::make_unique<SqliteBackend>(folder_.File("test.sqlite"));
    DatabaseSession::Instance().SetConfigFile(configFile_);
}

TestDatabase::~TestDatabase() {
    DatabaseSession::Instance().SetConfigFile("");
    backend_.reset();
}

void TestDatabase::AddAliasKey(const std::string& line) {
    WriteFile(configFile_, ReadFile(configFile_) + line + "\n");
    DatabaseSession::Instance().SetConfigFile(configFile_);
}

std::string TestDatabase::AutoIncKeyType() const {
    switch (engine_) {
        case TestEngine::SQLite:
            return "INTEGER PRIMARY KEY";
        case TestEngine::PostgreSQL:
            return "SERIAL PRIMARY KEY";
        case TestEngine::MariaDB:
            break;
    }
    return "INTEGER AUTO_INCREMENT PRIMARY KEY";
}

std::string TestDatabase::Numbers(int count) const {
    const std::string last = std::to_string(count);
    if (engine_ == TestEngine::PostgreSQL) {
        return "SELECT generate_series(1, " + last + ") AS n";
    }
    return "WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < " + last +
           ") SELECT n FROM s";
}

void TestDatabase::Execute(const std::string& sql) {
    Served().Execute(sql);
}

std::vector<std::vector<std::string>> TestDatabase::Query(const std::string& sql) {
    return Served().Query(sql);
}

TestDatabase::Backend& TestDatabase::Served() {
    if (!backend_) {
        throw std::runtime_error(AbsentServer(engine_));
    }
    return *backend_;
}

std::string TestDatabase::QueryValue(const std::string& sql) {
    auto rows = Query(sql);
    if (rows.empty() || rows[0].empty()) {
        throw std::runtime_error("no value from: " + sql);
    }
    return rows[0][0];
}

}  // namespace rowsmith::test
