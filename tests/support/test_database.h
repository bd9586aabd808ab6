// TestDatabase: an empty database of one engine, reachable through the alias "Test" of an alias
// configuration written for it, with the process's DatabaseSession pointed at that configuration.
// Engine and fill tests are parameterized over TestEngines(), so every behaviour proven on SQLite
// is proven on PostgreSQL and MariaDB whenever their test servers run.
//
// Execute and Query go straight to the database's own client library, not through Rowsmith's
// engine, so tests can set up tables and check results independently of the code under test.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace rowsmith::test {

enum class TestEngine { SQLite, PostgreSQL, MariaDB };

// Every engine, whichever servers run: a list of tests made from it must not depend on the
// servers running when it was made. Tests skip an engine whose server is absent at run time.
std::vector<TestEngine> TestEngines();
// Why tests of `engine` cannot run now, "" when they can: PostgreSQL and MariaDB need the private
// servers that tests/support/with-postgres and with-mariadb start (ROWSMITH_TEST_PGHOST,
// ROWSMITH_TEST_MYSOCKET).
std::string AbsentServer(TestEngine engine);
// TestEngines() but `left`, for behaviour one driver does not have yet.
std::vector<TestEngine> TestEnginesWithout(TestEngine left);
// "SQLite" / "PostgreSQL" / "MariaDB", for parameterized test names.
std::string EngineName(TestEngine engine);

class TestDatabase {
public:
    // For an engine whose server is absent the database is a placeholder that only a skipped
    // test holds: Execute and Query raise AbsentServer's reason.
    explicit TestDatabase(TestEngine engine);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    TestEngine Engine() const { return engine_; }
    const std::string& Alias() const { return alias_; }
    const std::string& ConfigFile() const { return configFile_; }
    const TempDir& Folder() const { return folder_; }

    // Adds a key (a line "KEY=value") to the alias's section of the configuration; connections
    // opened from now on read it.
    void AddAliasKey(const std::string& line);

    // Column type of an integer primary key that numbers itself in this engine's dialect.
    std::string AutoIncKeyType() const;
    // A query of the numbers 1 to `count` as column n, in this engine's dialect: a row source for
    // tables of many records, "INSERT ... SELECT ... FROM (" + Numbers(count) + ") AS numbers".
    std::string Numbers(int count) const;

    void Execute(const std::string& sql);
    // Rows of the result, each value as text ("" for NULL).
    std::vector<std::vector<std::string>> Query(const std::string& sql);
    // The first value of the first row, as text.
    std::string QueryValue(const std::string& sql);

    class Backend;

private:
    Backend& Served();

    TestEngine engine_;
    TempDir folder_;
    std::string alias_ = "Test";
    std::string configFile_;
    std::unique_ptr<Backend> backend_;
};

}  // namespace rowsmith::test
