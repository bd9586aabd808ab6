// examples/demo.scn as a new user runs it: rowsmith-fill, the shipped libraries, and the demo
// tables of each engine (the built-in SQLite demo, or the server script of examples/ loaded into
// a database that the alias Demo names).
#include <sqlite3.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli_fixture.h"
#include "model/fill_scenario.h"
#include "old_demo.h"

namespace rowsmith::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

const std::string kDemoScenario = ROWSMITH_EXAMPLES_DIR "/demo.scn";

bool IsAscii(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

class DemoScenarioTest : public CliFixture {
protected:
    std::string DemoFile() const { return db.Folder().File("rowsmith/demo.sqlite"); }

    // The --aliases option under which Demo is the demo of this engine. SQLite's is built in and
    // made on first use; a server's script is loaded into the test database, which the
    // configuration then calls Demo.
    std::string DemoAliases() {
        if (db.Engine() == TestEngine::SQLite) {
            return Aliases();
        }
        const char* script =
            db.Engine() == TestEngine::PostgreSQL ? "postgres-demo.sql" : "mariadb-demo.sql";
        db.Execute(ReadFile(std::string(ROWSMITH_EXAMPLES_DIR "/") + script));
        std::string config = ReadFile(db.ConfigFile());
        config.replace(config.find("[Test]"), 6, "[Demo]");
        const std::string file = db.Folder().File("demo-aliases.ini");
        WriteFile(file, config);
        return "--aliases '" + file + "'";
    }

    // `sql` on the demo tables, each value as text ("" for NULL).
    Rows Demo(const std::string& sql) {
        if (db.Engine() != TestEngine::SQLite) {
            return db.Query(sql);
        }
        sqlite3* file = nullptr;
        sqlite3_open_v2(DemoFile().c_str(), &file, SQLITE_OPEN_READONLY, nullptr);
        Rows rows;
        sqlite3_exec(
            file, sql.c_str(),
            [](void* out, int count, char** values, char**) {
                std::vector<std::string> row;
                for (int i = 0; i < count; ++i) {
                    row.push_back(values[i] != nullptr ? values[i] : "");
                }
                static_cast<Rows*>(out)->push_back(row);
                return 0;
            },
            &rows, nullptr);
        sqlite3_close(file);
        return rows;
    }

    // A column name as the engine's SQL keeps its capitals.
    std::string Name(const std::string& column) const {
        return db.Engine() == TestEngine::MariaDB ? "`" + column + "`" : "\"" + column + "\"";
    }

    // Every table holds the scenario's record count; names and e-mail addresses are made from
    // the same record's names; order references have the pattern's shape and never repeat.
    void ExpectTheScenariosRecords() {
        TFillScenario scenario;
        scenario.LoadFromFile(kDemoScenario);
        for (int t = 0; t < scenario.Tables().Count(); ++t) {
            const TFillTable& table = scenario.Tables().Items(t);
            EXPECT_EQ(Demo("SELECT count(*) FROM " + table.TableName())[0][0],
                      std::to_string(table.RecCount()))
                << table.TableName();
        }
        for (const std::string table : {"employees", "customers"}) {
            for (const auto& row : Demo("SELECT " + Name("FirstName") + ", " + Name("LastName") +
                                        ", " + Name("Email") + " FROM " + table)) {
                const std::string& email = row[2];
                const std::size_t at = email.find('@');
                ASSERT_NE(at, std::string::npos) << email;
                EXPECT_TRUE(IsAscii(email)) << email;
                const std::string domain = email.substr(at + 1);
                EXPECT_TRUE(domain.ends_with("example.com") || domain.ends_with("example.net") ||
                            domain.ends_with("example.org"))
                    << email;
                if (IsAscii(row[0] + row[1])) {
                    EXPECT_EQ(email.substr(0, at), Lower(row[0]) + "." + Lower(row[1]));
                }
            }
        }
        for (const auto& row : Demo("SELECT " + Name("FirstName") + ", " + Name("LastName") + ", " +
                                    Name("Contact") + " FROM customers")) {
            EXPECT_EQ(row[2], row[0] + " " + row[1]);
        }
        std::set<std::string> references;
        for (const auto& row : Demo("SELECT " + Name("OrderRef") + " FROM orders")) {
            const std::string& ref = row[0];
            ASSERT_EQ(ref.size(), 11u) << ref;
            EXPECT_EQ(ref.substr(0, 4), "ORD-") << ref;
            EXPECT_EQ(ref[8], '-') << ref;
            for (int i : {4, 5, 6, 7}) {
                EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(ref[i]))) << ref;
            }
            for (int i : {9, 10}) {
                EXPECT_TRUE(std::isupper(static_cast<unsigned char>(ref[i]))) << ref;
            }
            references.insert(ref);
        }
        EXPECT_EQ(references.size(), 500u);
    }
};

// The scenario empties each table before filling it, parents before the tables that refer to
// them: the references cascade, so a second run succeeds too.
TEST_P(DemoScenarioTest, LintsWithoutWarningsAndFillsTheDemoAgainAndAgain) {
    const std::string aliases = DemoAliases();
    const RunResult lint = Run("--lint " + aliases + " '" + kDemoScenario + "'");
    EXPECT_EQ(lint.status, 0) << lint.err;
    EXPECT_EQ(lint.out, "");

    for (const char* seed : {"7", "8"}) {
        const RunResult fill =
            Run("--quiet --seed " + std::string(seed) + " " + aliases + " '" + kDemoScenario + "'");
        ASSERT_EQ(fill.status, 0) << fill.err;
    }
    ExpectTheScenariosRecords();
    if (db.Engine() == TestEngine::SQLite) {
        EXPECT_EQ(Demo("SELECT count(*) FROM pragma_foreign_key_check")[0][0], "0");
    }
}

class OldDemoScenarioTest : public DemoScenarioTest {};

// A demo database left by an earlier version, without the columns the scenario sets and with
// references that do not cascade, is brought up to date when the scenario opens it.
TEST_P(OldDemoScenarioTest, TheScenarioFillsADemoMadeByAnEarlierVersion) {
    std::filesystem::create_directories(db.Folder().File("rowsmith"));
    WriteOldDemo(DemoFile(), OldDemo::NoCascade);
    const RunResult fill = Run("--quiet --seed 7 " + Aliases() + " '" + kDemoScenario + "'");
    ASSERT_EQ(fill.status, 0) << fill.err;
    ExpectTheScenariosRecords();
    EXPECT_EQ(Demo("SELECT count(*) FROM pragma_foreign_key_check")[0][0], "0");
    EXPECT_EQ(Demo("PRAGMA user_version")[0][0], "1");
}

INSTANTIATE_TEST_SUITE_P(Engines, DemoScenarioTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);
INSTANTIATE_TEST_SUITE_P(Engines, OldDemoScenarioTest, ::testing::Values(TestEngine::SQLite),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
