// PgDriverTest: a fresh database on the private test server and a driver connection to it,
// for the behaviour only the PostgreSQL driver has. Skipped when no test server runs.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/alias_config.h"
#include "engine/postgres/postgres_connection.h"
#include "test_database.h"

namespace rowsmith::test {

class PgDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("ROWSMITH_TEST_PGHOST") == nullptr) {
            GTEST_SKIP() << "no PostgreSQL test server (run under tests/support/with-postgres)";
        }
        db_ = std::make_unique<TestDatabase>(TestEngine::PostgreSQL);
        alias_.name = "PgTest";
        alias_.driver = "POSTGRESQL";
        alias_.host = std::getenv("ROWSMITH_TEST_PGHOST");
        const char* port = std::getenv("ROWSMITH_TEST_PGPORT");
        alias_.port = port ? port : "";
        alias_.database = db_->QueryValue("SELECT current_database()");
        alias_.user = "postgres";
    }

    Connection& Conn() {
        if (!conn_) {
            conn_ = ConnectPostgres(alias_, nullptr);
        }
        return *conn_;
    }

    std::unique_ptr<TableDriver> Open(const std::string& table, bool exclusive = false) {
        return Conn().OpenTable(table, exclusive);
    }

    // Every record of a walk in pages of `pageSize`.
    static std::vector<Record> ReadAll(TableDriver& table, std::size_t pageSize = 1000) {
        std::vector<Record> all;
        std::vector<Record> page = table.ReadPage(nullptr, pageSize);
        while (!page.empty()) {
            all.insert(all.end(), page.begin(), page.end());
            if (page.size() < pageSize) {
                break;
            }
            page = table.ReadPage(&all.back().key, pageSize);
        }
        return all;
    }

    struct RawDeleter {
        void operator()(PGconn* conn) const { PQfinish(conn); }
    };
    using RawConnection = std::unique_ptr<PGconn, RawDeleter>;

    // A libpq connection of its own to `database` (the test database when empty), for what no
    // driver connection does.
    RawConnection Raw(const std::string& database = "") const {
        const std::string info = "host=" + alias_.host + " port=" + alias_.port +
                                 " dbname=" + (database.empty() ? alias_.database : database) +
                                 " user=postgres";
        return RawConnection(PQconnectdb(info.c_str()));
    }

    // Lets new connections to the test database in, or shuts them out (those open stay): as a
    // server would that takes no more clients.
    void AllowConnections(bool allow) {
        // Only from another database can connections to this one be shut out.
        RawConnection admin = Raw("postgres");
        ASSERT_EQ(PQstatus(admin.get()), CONNECTION_OK);
        PQclear(PQexec(admin.get(), ("ALTER DATABASE " + QuoteIdentifier(alias_.database) +
                                     " ALLOW_CONNECTIONS " + (allow ? "true" : "false"))
                                        .c_str()));
    }

    long Count(const std::string& table) {
        return std::stol(db_->QueryValue("SELECT count(*) FROM " + table));
    }

    std::unique_ptr<TestDatabase> db_;
    AliasConfig alias_;
    std::unique_ptr<Connection> conn_;
};

// One column assigned per value.
inline std::vector<bool> AllAssigned(std::size_t count) {
    return std::vector<bool>(count, true);
}

// The error of a connection the server ended: its own message when libpq read it before the
// socket closed, else libpq's note of the closed connection (which side wins is timing).
inline bool SaysServerWentAway(const std::string& error) {
    return error.find("terminating connection due to administrator command") != std::string::npos ||
           error.find("server closed the connection unexpectedly") != std::string::npos;
}

}  // namespace rowsmith::test
