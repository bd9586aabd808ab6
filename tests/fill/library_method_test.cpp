// The library method on every engine: values drawn from a library found by name or by a path
// beside the scenario, seeded runs that repeat and match what a dry run shows, the check's
// refusals and the pre-run warnings.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "fill/scenario_lint.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"
#include "scoped_env.h"
#include "text/errors.h"

namespace rowsmith::test {
namespace {

class LibraryMethodTest : public FillTest {
protected:
    LibraryMethodTest() {
        std::filesystem::create_directories(home.File("rowsmith/libraries"));
        std::filesystem::create_directories(home.File("project/lists"));
        WriteFile(home.File("rowsmith/libraries/moons.txt"),
                  "# Moons of the outer planets\nTitan\nEuropa\n\n# the big one\nGanymede\n"
                  "Callisto\tnot-a-weight\n");
        WriteFile(home.File("rowsmith/libraries/tides.txt"), "# Tides\nflood\nebb\nslack\n");
        WriteFile(home.File("rowsmith/libraries/nothing.txt"), "# Nothing yet\n\n");
        WriteFile(home.File("project/lists/knots.txt"), "# Knots\nbowline\t3\nhitch\ncleat\n");
        engine.SetScenarioFolder(home.File("project"));
    }

    // The check's message for a table "t" whose column "v" draws from `library`.
    std::string CheckError(const std::string& library) {
        SetField(scenario.Tables().Items(0), "v", fmLibrary, library);
        return FillTest::CheckError();
    }

    TempDir home;
    ScopedEnv dataHome{"XDG_DATA_HOME", home.Path()};
};

TEST_P(LibraryMethodTest, DrawsOnlyTheLibrarysValuesFoundByNameOrPath) {
    CreateTable("t", "id " + db.AutoIncKeyType() + ", v VARCHAR(20), w VARCHAR(20)");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 300);
    SetField(table, "v", fmLibrary, "tides");
    SetField(table, "w", fmLibrary, "lists/knots.txt");
    engine.FillUp();
    const std::vector<std::string> tides = Column("t", "v");
    const std::vector<std::string> knots = Column("t", "w");
    EXPECT_EQ(std::set<std::string>(tides.begin(), tides.end()),
              (std::set<std::string>{"flood", "ebb", "slack"}));
    EXPECT_EQ(std::set<std::string>(knots.begin(), knots.end()),
              (std::set<std::string>{"bowline", "hitch", "cleat"}));
    // Weighted 3:1:1, the bowline comes up about three times in five.
    const auto bowlines = std::count(knots.begin(), knots.end(), "bowline");
    EXPECT_GT(bowlines, 140);
    EXPECT_LT(bowlines, 220);
}

TEST_P(LibraryMethodTest, ASeededRunRepeatsAndADryRunShowsTheSameRecords) {
    CreateTable("t", "id " + db.AutoIncKeyType() + ", v VARCHAR(20), w VARCHAR(20)");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 40);
    SetField(table, "v", fmLibrary, "tides");
    SetField(table, "w", fmLibrary, "lists/knots.txt");
    engine.SetFixedSeed(7);

    std::vector<std::vector<std::string>> shown;
    engine.SetDryRun(true);
    engine.SetRecordObserver([&shown](const TableCursor& record) {
        shown.push_back({record.FieldAt(1).ReadString(), record.FieldAt(2).ReadString()});
    });
    engine.FillUp();
    EXPECT_EQ(Count("t"), 0);

    engine.SetDryRun(false);
    engine.SetRecordObserver(nullptr);
    engine.FillUp();
    const auto first = db.Query("SELECT v, w FROM t ORDER BY id");
    EXPECT_EQ(first, shown);
    engine.FillUp();
    EXPECT_EQ(db.Query("SELECT v, w FROM t ORDER BY id"), first);
}

TEST_P(LibraryMethodTest, TheCheckRefusesALibraryThatCannotServeNamingIt) {
    CreateTable("t", "id " + db.AutoIncKeyType() + ", v VARCHAR(20)");
    AddTable("t", tfEmptyAndFill, 5);
    const std::string prefix = "Wrong fill value. Table: \"t\". Field: \"v\". Value: ";
    EXPECT_EQ(CheckError("planets"), prefix + "\"planets\": Library \"planets\" not found in " +
                                         home.File("rowsmith/libraries"));
    EXPECT_EQ(CheckError("nothing"), prefix + "\"nothing\": Library \"nothing\" holds no values");
    EXPECT_EQ(CheckError(""), prefix + "\"\": No library name is given");
    EXPECT_EQ(CheckError("lists/ropes.txt"),
              prefix + "\"lists/ropes.txt\": Cannot read library \"lists/ropes.txt\": " +
                  home.File("project/lists/ropes.txt") + ": No such file or directory");
    // The text after the tab of a value is a weight, and a bad one is the file's fault.
    const std::string moons = CheckError("moons");
    EXPECT_EQ(moons.rfind(prefix + "\"moons\": ", 0), 0u) << moons;
    EXPECT_NE(moons.find("not-a-weight"), std::string::npos) << moons;
    EXPECT_EQ(CheckError("tides"), "");
}

TEST_P(LibraryMethodTest, LintWarnsOfValuesLongerThanTheColumnAndOfMissingLibraries) {
    CreateTable("t", "id " + db.AutoIncKeyType() + ", v VARCHAR(5), w VARCHAR(6), x TEXT");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 5);
    SetField(table, "v", fmLibrary, "tides");
    SetField(table, "w", fmLibrary, "lists/knots.txt");
    SetField(table, "x", fmLibrary, "planets");
    const std::vector<LintWarning> warnings = LintScenario(scenario, home.File("project"));
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].column, "w");
    EXPECT_EQ(warnings[0].reason,
              "library \"lists/knots.txt\" has values of up to 7 characters, the column keeps 6"
              ": longer ones will be cut");
    EXPECT_EQ(warnings[1].column, "x");
    EXPECT_EQ(warnings[1].reason, "Library \"planets\" not found in " +
                                      home.File("rowsmith/libraries") +
                                      ": the check will refuse it");
}

INSTANTIATE_TEST_SUITE_P(Engines, LibraryMethodTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
