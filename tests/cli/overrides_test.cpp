// rowsmith-fill's seeds per table and its per-run overrides (--records, --alias), which change
// the run and never the scenario file.
#include <string>
#include <vector>

#include "cli_fixture.h"

namespace rowsmith::test {
namespace {

class OverridesTest : public CliFixture {
protected:
    // Tables a and b, each with an integer column n filled from one range with `records`
    // records, on the alias `alias`.
    std::string TwoTables(const std::string& alias, int records) {
        for (const char* table : {"a", "b"}) {
            db.Execute("CREATE TABLE IF NOT EXISTS " + std::string(table) + " (n INTEGER)");
        }
        std::string text = "[Main]\r\nAliasName=" + alias + "\r\nTables=a,b\r\n\r\n";
        for (const char* table : {"a", "b"}) {
            text += "[Table " + std::string(table) +
                    "]\r\nFieldMethod=0\r\nRecCount=" + std::to_string(records) +
                    "\r\nFields=n\r\n\r\n[Field " + table +
                    ".n]\r\nFillMethod=3\r\nFillValue=0 - 1000000\r\n\r\n";
        }
        const std::string path = db.Folder().File("two.scn");
        WriteFile(path, text);
        return path;
    }

    std::string Values(const std::string& table) {
        std::string text;
        for (const std::string& value : Column("SELECT n FROM " + table)) {
            text += value + " ";
        }
        return text;
    }
};

TEST_P(OverridesTest, ASeededRunGivesEachTableItsOwnRepeatableStream) {
    const std::string two = TwoTables(db.Alias(), 5);
    ASSERT_EQ(Run("--seed 7 " + Aliases() + " '" + two + "'").status, 0);
    const std::string a = Values("a");
    const std::string b = Values("b");
    EXPECT_NE(a, b);

    ASSERT_EQ(Run("--seed 7 " + Aliases() + " '" + two + "'").status, 0);
    EXPECT_EQ(Values("a"), a);
    EXPECT_EQ(Values("b"), b);

    // The first table keeps the seed itself, so one-table scenarios fill as they always did.
    const std::string one = WriteScenario("b", 0, 5, {{"n", "3", "0 - 1000000"}});
    ASSERT_EQ(Run("--seed 7 " + Aliases() + " '" + one + "'").status, 0);
    EXPECT_EQ(Values("b"), a);
}

// "now" and "today" are the clock's unless --now fixes them: then a seeded run with relative
// dates repeats anywhere, at any time.
TEST_P(OverridesTest, NowFixesRelativeDatesForARepeatableRun) {
    db.Execute("CREATE TABLE d (n INTEGER, day DATE)");
    const std::string scenario =
        WriteScenario("d", 0, 6, {{"n", "5", ""}, {"day", "8", "today-2d - today"}});
    const std::string fixed = "--seed 3 --now '2026-03-01 09:30:00' " + Aliases() + " '";
    ASSERT_EQ(Run(fixed + scenario + "'").status, 0);
    const std::vector<std::string> days = Column("SELECT day FROM d ORDER BY n");
    for (const std::string& day : days) {
        EXPECT_TRUE(day == "2026-02-27" || day == "2026-02-28" || day == "2026-03-01") << day;
    }
    ASSERT_EQ(Run(fixed + scenario + "'").status, 0);
    EXPECT_EQ(Column("SELECT day FROM d ORDER BY n"), days);

    // The preview shows the same records; a "now" that is no date and time is wrong usage.
    const RunResult preview = Run("--preview 6 --format csv --seed 3 --now 2026-03-01 " +
                                  Aliases() + " '" + scenario + "'");
    EXPECT_EQ(preview.status, 0) << preview.err;
    for (const std::string& day : days) {
        EXPECT_NE(preview.out.find(day), std::string::npos) << preview.out;
    }
    const RunResult wrong = Run("--now 09:30 " + Aliases() + " '" + scenario + "'");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("--now needs a date and time"), std::string::npos) << wrong.err;
}

TEST_P(OverridesTest, RecordCountsAndTheAliasCanBeGivenForOneRun) {
    // The scenario's own alias does not exist: --alias alone makes the run possible.
    const std::string scenario = TwoTables("Nowhere", 3);
    const std::string before = ReadFile(scenario);
    const std::string run =
        " --seed 1 --alias " + db.Alias() + " " + Aliases() + " '" + scenario + "'";
    EXPECT_EQ(Run(Aliases() + " '" + scenario + "'").status, 1);

    RunResult result = Run("--records 4" + run);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(db.QueryValue("SELECT count(*) FROM a"), "4");
    EXPECT_EQ(db.QueryValue("SELECT count(*) FROM b"), "4");

    result = Run("--records b=2 --records 6" + run);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(db.QueryValue("SELECT count(*) FROM a"), "6");
    EXPECT_EQ(db.QueryValue("SELECT count(*) FROM b"), "2");
    EXPECT_EQ(ReadFile(scenario), before);

    result = Run("--records c=2" + run);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.LastErrorLine(), "rowsmith-fill: --records c=2: the scenario has no table c.");
    EXPECT_EQ(db.QueryValue("SELECT count(*) FROM b"), "2") << "nothing is written";

    EXPECT_EQ(Run("--records -1" + run).status, 2);
    EXPECT_EQ(Run("--records a=x" + run).status, 2);
    EXPECT_EQ(Run("--records 3 --list-aliases " + Aliases()).status, 2);
}

INSTANTIATE_TEST_SUITE_P(Engines, OverridesTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
