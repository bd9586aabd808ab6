#include "test_database.h"

#include <sqlite3.h>

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

}  // namespace

std::vector<TestEngine> TestEngines() {
    std::vector<TestEngine> engines{TestEngine::SQLite};
    return engines;
}

std::string EngineName(TestEngine engine) {
    return engine == TestEngine::SQLite ? "SQLite" : "PostgreSQL";
}

TestDatabase::TestDatabase(TestEngine engine) : engine_(engine) {
    configFile_ = folder_.File("aliases.ini");
    if (engine != TestEngine::SQLite) {
        throw std::runtime_error("no PostgreSQL test server");
    }
    WriteFile(configFile_, "[" + alias_ + "]\nDRIVER=SQLITE\nPATH=test.sqlite\n");
    backend_ = std::make_unique<SqliteBackend>(folder_.File("test.sqlite"));
    DatabaseSession::Instance().SetConfigFile(configFile_);
}

TestDatabase::~TestDatabase() {
    DatabaseSession::Instance().SetConfigFile("");
    backend_.reset();
}

std::string TestDatabase::AutoIncKeyType() const {
    return engine_ == TestEngine::SQLite ? "INTEGER PRIMARY KEY" : "SERIAL PRIMARY KEY";
}

void TestDatabase::Execute(const std::string& sql) { backend_->Execute(sql); }

std::vector<std::vector<std::string>> TestDatabase::Query(const std::string& sql) {
    return backend_->Query(sql);
}

std::string TestDatabase::QueryValue(const std::string& sql) {
    auto rows = Query(sql);
    if (rows.empty() || rows[0].empty()) {
        throw std::runtime_error("no value from: " + sql);
    }
    return rows[0][0];
}

}  // namespace rowsmith::test
