// --list-libraries and --show-library. They read no database, so one engine's fixture serves.
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli_fixture.h"

namespace rowsmith::test {
namespace {

class LibraryOptionsTest : public CliFixture {
protected:
    // Run() points XDG_DATA_HOME at the database's folder.
    void WriteUserLibrary(const std::string& name, const std::string& text) {
        const std::string folder = db.Folder().File("rowsmith/libraries");
        std::filesystem::create_directories(folder);
        WriteFile(folder + "/" + name + ".txt", text);
    }

    static std::vector<std::string> Words(const std::string& line) {
        std::istringstream stream(line);
        std::vector<std::string> words;
        for (std::string word; stream >> word;) {
            words.push_back(word);
        }
        return words;
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::istringstream stream(text);
        std::vector<std::string> lines;
        for (std::string line; std::getline(stream, line);) {
            lines.push_back(line);
        }
        return lines;
    }
};

TEST_P(LibraryOptionsTest, TheListNamesEachLibrarySizeAndFileAndAUsersOneWins) {
    WriteUserLibrary("colors", "# My colours\nteal\nmauve\n");
    WriteUserLibrary("fruit", "# Fruit\npear\t2\nplum\n");
    const RunResult result = Run("--list-libraries");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 15u);
    std::map<std::string, std::vector<std::string>> byName;
    for (const std::string& line : lines) {
        byName[Words(line).at(0)] = Words(line);
    }
    const std::string userFolder = db.Folder().File("rowsmith/libraries");
    EXPECT_EQ(byName["colors"],
              (std::vector<std::string>{"colors", "2", "user", userFolder + "/colors.txt"}));
    EXPECT_EQ(byName["fruit"],
              (std::vector<std::string>{"fruit", "2", "user", userFolder + "/fruit.txt"}));
    const std::vector<std::string> cities = byName["cities"];
    ASSERT_EQ(cities.size(), 4u);
    EXPECT_EQ(cities[2], "shipped");
    EXPECT_TRUE(std::filesystem::is_regular_file(cities[3])) << cities[3];
    ASSERT_EQ(lines[0].substr(0, 7), "cities ");
    ASSERT_EQ(lines[1].substr(0, 7), "colors ");
    // The columns line up.
    EXPECT_EQ(lines[0].find(cities[2]), lines[1].find("user"));
}

TEST_P(LibraryOptionsTest, ALibraryThatCannotBeReadIsReportedAndTheOthersListed) {
    WriteUserLibrary("broken", "# Broken\nred\t-1\n");
    const RunResult result = Run("--list-libraries");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.LastErrorLine(),
              "rowsmith-fill: Library \"broken\", line 2: the weight \"-1\" is not a whole number "
              "from 1 to 1000000000.");
    EXPECT_EQ(Lines(result.out).size(), 14u);
    EXPECT_EQ(result.out.find("broken"), std::string::npos);
}

TEST_P(LibraryOptionsTest, ShowingALibraryPrintsItsValuesAsALibraryReadsThem) {
    const RunResult shipped = Run("--show-library country-codes");
    ASSERT_EQ(shipped.status, 0) << shipped.err;
    EXPECT_EQ(Lines(shipped.out).size(), 249u);
    EXPECT_EQ(Lines(shipped.out).front(), "AD");

    WriteUserLibrary("fruit", "# Fruit\npear\t2\nplum\n\n# more\nfig\t1\n");
    EXPECT_EQ(Run("--show-library fruit").out, "pear\t2\nplum\t1\nfig\t1\n");

    // A path is taken from the current folder, which Run() makes the database's.
    std::filesystem::create_directories(db.Folder().File("lists"));
    WriteFile(db.Folder().File("lists/parts.txt"), "bolt\nwasher with\ttab\t1\n\t1\n");
    EXPECT_EQ(Run("--show-library lists/parts.txt").out, "bolt\nwasher with\ttab\t1\n\t1\n");
    EXPECT_EQ(Run("--show-library=lists/parts.txt").status, 0);
}

TEST_P(LibraryOptionsTest, AMissingLibraryIsAnErrorAndWrongUsageExitsWithTwo) {
    const RunResult missing = Run("--show-library planets");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    const std::string notFound = "rowsmith-fill: Library \"planets\" not found in " +
                                 db.Folder().File("rowsmith/libraries") + " or ";
    EXPECT_EQ(missing.LastErrorLine().rfind(notFound, 0), 0u) << missing.err;
    const RunResult empty = Run("--show-library lists/none.txt");
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.LastErrorLine(), "rowsmith-fill: Cannot read library \"lists/none.txt\": " +
                                         db.Folder().File("lists/none.txt") +
                                         ": No such file or directory.");

    for (const char* args : {"--show-library", "--show-library=", "--show-library a b",
                             "--list-libraries x.scn", "--list-libraries --check x.scn",
                             "--show-library a --list-libraries", "--list-libraries --records 3"}) {
        const RunResult result = Run(args);
        EXPECT_EQ(result.status, 2) << args;
        EXPECT_EQ(result.out, "") << args;
    }
}

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(LibraryOptionsTest);
INSTANTIATE_TEST_SUITE_P(Engines, LibraryOptionsTest, ::testing::Values(TestEngine::SQLite),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
