// MariaDriverTest: a fresh database on the private MariaDB test server and a driver connection to
// it, for the behaviour only the MariaDB driver has. Skipped when no test server runs.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/alias_config.h"
#include "engine/database_errors.h"
#include "engine/mariadb/mariadb_connection.h"
#include "test_database.h"

namespace rowsmith::test {

class MariaDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("ROWSMITH_TEST_MYSOCKET") == nullptr) {
            GTEST_SKIP() << "no MariaDB test server (run under tests/support/with-mariadb)";
        }
        db_ = std::make_unique<TestDatabase>(TestEngine::MariaDB);
        alias_.name = "MariaTest";
        alias_.driver = "MARIADB";
        alias_.socket = std::getenv("ROWSMITH_TEST_MYSOCKET");
        alias_.database = db_->QueryValue("SELECT DATABASE()");
        alias_.user = "root";
    }

    Connection& Conn() {
        if (!conn_) {
            conn_ = ConnectMariaDb(alias_, nullptr);
        }
        return *conn_;
    }

    std::unique_ptr<TableDriver> Open(const std::string& table) {
        return Conn().OpenTable(table, false);
    }

    long Count(const std::string& table) {
        return std::stol(db_->QueryValue("SELECT count(*) FROM " + table));
    }

    // Inserts the rows 1..count that `valuesOf` gives in one fill run; the error that stopped
    // it, or "" when none did.
    std::string FillRun(TableDriver& table, int count,
                        const std::function<std::vector<FieldValue>(int)>& valuesOf) {
        try {
            Conn().BeginFillRun();
            for (int k = 1; k <= count; ++k) {
                const std::vector<FieldValue> values = valuesOf(k);
                table.Insert(values, std::vector<bool>(values.size(), true));
            }
        } catch (const EDBEngineError& error) {
            Conn().EndFillRun();
            return error.what();
        }
        try {
            Conn().EndFillRun();
        } catch (const EDBEngineError& error) {
            return error.what();
        }
        return "";
    }

    std::unique_ptr<TestDatabase> db_;
    AliasConfig alias_;
    std::unique_ptr<Connection> conn_;
};

}  // namespace rowsmith::test
