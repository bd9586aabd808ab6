// rowsmith-fill --draft on whole schemas of related tables, on every engine: the drafted scenario
// passes --lint without a warning and fills every table without an error, no reference points at
// a missing parent and no unique column holds a value twice. The shop of examples/ is drafted
// empty; the demo tables are drafted with their sample rows in them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_fixture.h"
#include "engine/database_session.h"
#include "model/fill_scenario.h"

namespace rowsmith::test {
namespace {

class DraftTest : public CliFixture {
protected:
    std::string Quote(const std::string& name) const {
        return db.Engine() == TestEngine::MariaDB ? "`" + name + "`" : "\"" + name + "\"";
    }

    void Load(const char* sqlite, const char* postgres, const char* mariadb) {
        const char* script = db.Engine() == TestEngine::SQLite       ? sqlite
                             : db.Engine() == TestEngine::PostgreSQL ? postgres
                                                                     : mariadb;
        db.Execute(ReadFile(std::string(ROWSMITH_EXAMPLES_DIR "/") + script));
    }

    // The built-in demo database, which the program makes on first use, copied into the test's
    // SQLite database with its tables' definitions and rows.
    void CopySqliteDemo() {
        ASSERT_EQ(Run("--list-tables Demo").status, 0);
        db.Execute("ATTACH DATABASE '" + db.Folder().File("rowsmith/demo.sqlite") + "' AS demo");
        const auto tables = db.Query(
            "SELECT name, sql FROM demo.sqlite_master WHERE type = 'table' AND name NOT LIKE "
            "'sqlite%' ORDER BY rowid");
        for (const auto& table : tables) {
            db.Execute(table[1]);
        }
        for (const auto& table : tables) {
            db.Execute("INSERT INTO main." + Quote(table[0]) + " SELECT * FROM demo." +
                       Quote(table[0]));
        }
        db.Execute("DETACH DATABASE demo");
    }

    // Drafts, lints and fills the alias's tables; reads the scenario the fill ran into `drafted`.
    void DraftLintAndFill(const std::string& draftArguments, RunResult& draft,
                          TFillScenario& drafted) {
        const std::string scenario = db.Folder().File("d.scn");
        draft = Run("--draft " + db.Alias() + " " + draftArguments + " --output '" + scenario +
                    "' " + Aliases());
        EXPECT_EQ(draft.status, 0) << draft.err;
        const RunResult lint = Run("--lint " + Aliases() + " '" + scenario + "'");
        EXPECT_EQ(lint.status, 0) << lint.out << lint.err;
        EXPECT_EQ(lint.out, "");
        const RunResult fill = Run("--seed 11 " + Aliases() + " '" + scenario + "'");
        EXPECT_EQ(fill.status, 0) << fill.err;
        drafted.LoadFromFile(scenario);
    }

    // Each table holds the records the scenario asks for, no reference of one column points at
    // a missing parent, and no unique column of one column repeats a value.
    void ExpectFilledAsDrafted(const TFillScenario& scenario) {
        for (int i = 0; i < scenario.Tables().Count(); ++i) {
            const TFillTable& table = scenario.Tables().Items(i);
            const std::string name = Quote(table.TableName());
            SCOPED_TRACE(table.TableName());
            EXPECT_EQ(db.QueryValue("SELECT COUNT(*) FROM " + name),
                      std::to_string(table.RecCount()));
            const TableConstraints constraints =
                DatabaseSession::Instance().Connect(db.Alias()).ReadConstraints(table.TableName());
            for (const ForeignKey& key : constraints.foreignKeys) {
                ASSERT_EQ(key.columns.size(), 1u);
                const std::string column = Quote(key.columns.front());
                const std::string parentColumn =
                    Quote(key.parentColumns.empty() ? "id" : key.parentColumns.front());
                EXPECT_EQ(db.QueryValue("SELECT COUNT(*) FROM " + name + " c WHERE c." + column +
                                        " IS NOT NULL AND NOT EXISTS (SELECT 1 FROM " +
                                        Quote(key.parentTable) + " p WHERE p." + parentColumn +
                                        " = c." + column + ")"),
                          "0")
                    << key.columns.front() << " -> " << key.parentTable;
            }
            for (const auto& key : constraints.uniqueKeys) {
                if (key.size() == 1) {
                    const std::string column = Quote(key.front());
                    EXPECT_EQ(db.QueryValue("SELECT COUNT(" + column + ") - COUNT(DISTINCT " +
                                            column + ") FROM " + name),
                              "0")
                        << key.front();
                }
            }
        }
    }
};

TEST_P(DraftTest, TheShopIsDraftedParentsFirstAndFillsWithoutOrphansOrRepeats) {
    Load("shop.sql", "postgres-shop.sql", "mariadb-shop.sql");
    RunResult draft;
    TFillScenario scenario;
    DraftLintAndFill("--records 20", draft, scenario);
    EXPECT_EQ(draft.err,
              "rowsmith-fill: note: employees.manager_id: refers to its own table; left empty\n");
    ASSERT_EQ(scenario.Tables().Count(), 14);
    EXPECT_EQ(scenario.AliasName(), db.Alias());
    const auto position = [&](const char* table) { return scenario.FindTable(table); };
    EXPECT_LT(position("customers"), position("addresses"));
    EXPECT_LT(position("addresses"), position("shipments"));
    EXPECT_LT(position("orders"), position("order_items"));
    EXPECT_LT(position("products"), position("order_items"));
    EXPECT_LT(position("coupons"), position("orders"));
    EXPECT_EQ(scenario.Tables().Items(position("customers")).RecCount(), 20);
    EXPECT_EQ(scenario.Tables().Items(position("order_items")).RecCount(), 200);
    ExpectFilledAsDrafted(scenario);

    // What a reader of the shop finds: addresses in e-mail columns, dates in date columns, no
    // manager since the draft leaves that reference alone.
    EXPECT_EQ(db.QueryValue("SELECT COUNT(*) FROM customers WHERE email NOT LIKE '%_@_%.%'"), "0");
    EXPECT_EQ(db.QueryValue("SELECT COUNT(*) FROM employees WHERE manager_id IS NOT NULL"), "0");
    EXPECT_EQ(db.QueryValue("SELECT COUNT(*) FROM coupons WHERE valid_until <= valid_from"), "0");
    EXPECT_EQ(db.QueryValue("SELECT COUNT(*) FROM reviews WHERE rating < 1 OR rating > 5"), "0");
}

TEST_P(DraftTest, NamedTablesAloneAreDraftedAndTheirParentsRecordsAreDrawnFrom) {
    Load("shop.sql", "postgres-shop.sql", "mariadb-shop.sql");
    db.Execute(
        "INSERT INTO customers (first_name, last_name, email, loyalty_points, created_at) "
        "VALUES ('Ada', 'Quill', 'ada@example.com', 0, '2026-01-02 10:00:00')");
    const RunResult draft = Run("--draft " + db.Alias() + " addresses ADDRESSES " + Aliases());
    EXPECT_EQ(draft.status, 0) << draft.err;
    EXPECT_NE(draft.out.find("Tables=addresses\r\n"), std::string::npos) << draft.out;
    EXPECT_NE(draft.out.find("[Field addresses.customer_id]\r\nFillMethod=11\r\n"
                             "FillValue=customers.id\r\n"),
              std::string::npos)
        << draft.out;
    EXPECT_EQ(draft.err,
              "rowsmith-fill: note: addresses.customer_id: refers to 'customers', which the draft "
              "does not fill; drawn from the records it holds\n");

    const RunResult missing = Run("--draft " + db.Alias() + " no_such_table " + Aliases());
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
}

TEST_P(DraftTest, TheDemoTablesAreDraftedAndFilledOverTheirSampleRows) {
    if (db.Engine() == TestEngine::SQLite) {
        CopySqliteDemo();
    } else {
        Load("", "postgres-demo.sql", "mariadb-demo.sql");
    }
    RunResult draft;
    TFillScenario scenario;
    DraftLintAndFill("", draft, scenario);
    ASSERT_EQ(scenario.Tables().Count(), 5);
    EXPECT_EQ(scenario.Tables().Items(scenario.FindTable("items")).RecCount(), 1000);
    ExpectFilledAsDrafted(scenario);
}

INSTANTIATE_TEST_SUITE_P(Engines, DraftTest, ::testing::ValuesIn(TestEngines()), EngineParamName);

}  // namespace
}  // namespace rowsmith::test
