// rowsmith-fill with the NULL share and unique keys of a scenario file: a UNIQUE column fed at
// random clashes without Unique=1 and fills cleanly with it, and the lint, the preview and the
// dry run see both settings as the fill does.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "cli_fixture.h"

namespace rowsmith::test {
namespace {

class UniqueFillTest : public CliFixture {
protected:
    // The scenario of `code`, a UNIQUE column fed from the range "1 - 1001", for 300 records,
    // with `keys` added to the column's section.
    std::string Scenario(const std::string& keys) {
        const std::string path = WriteScenario(
            "shop", 0, 300, {{"id", "0", ""}, {"code", "3", "1 - 1001"}, {"note", "1", "x"}});
        std::string text = ReadFile(path);
        const std::string after = "FillValue=1 - 1001\r\n";
        text.insert(text.find(after) + after.size(), keys);
        WriteFile(path, text);
        return "'" + path + "'";
    }

    void SetUp() override {
        db.Execute("CREATE TABLE shop (id " + db.AutoIncKeyType() +
                   ", code INTEGER UNIQUE, note VARCHAR(5))");
    }
};

TEST_P(UniqueFillTest, AUniqueColumnFillsCleanlyOnlyWithUnique) {
    const RunResult clash = Run("--seed 1 " + Aliases() + " " + Scenario(""));
    EXPECT_EQ(clash.status, 1);
    EXPECT_NE(clash.LastErrorLine().find("Filling stopped in table \"shop\""), std::string::npos)
        << clash.err;

    const RunResult lint = Run("--lint " + Aliases() + " " + Scenario(""));
    EXPECT_NE(lint.out.find("shop.code: unique, fed at random from 1000 values for 300 records: "
                            "a clash is 99% likely; set Unique to avoid clashes"),
              std::string::npos)
        << lint.out;

    const RunResult clean = Run("--seed 1 " + Aliases() + " " + Scenario("Unique=1\r\n"));
    EXPECT_EQ(clean.status, 0) << clean.err;
    const std::vector<std::string> codes = Column("SELECT code FROM shop");
    EXPECT_EQ(codes.size(), 300u);
    EXPECT_EQ(std::set<std::string>(codes.begin(), codes.end()).size(), 300u);
    const RunResult quiet = Run("--lint " + Aliases() + " " + Scenario("Unique=1\r\n"));
    EXPECT_EQ(quiet.status, 0) << quiet.out;
}

TEST_P(UniqueFillTest, PreviewAndDryRunHonourBothSettings) {
    const std::string scenario = Scenario("NullShare=100\r\n");
    const RunResult preview = Run("--preview 2 --format jsonl " + Aliases() + " " + scenario);
    EXPECT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(preview.out,
              "{\"table\":\"shop\",\"record\":{\"id\":null,\"code\":null,\"note\":\"x\"}}\n"
              "{\"table\":\"shop\",\"record\":{\"id\":null,\"code\":null,\"note\":\"x\"}}\n");

    const std::string tooFew = WriteScenario("shop", 0, 2000, {{"code", "3", "1 - 1001"}});
    std::string text = ReadFile(tooFew);
    text.insert(text.find("FillValue=1 - 1001\r\n") + 20, "Unique=1\r\n");
    WriteFile(tooFew, text);
    const RunResult dry = Run("--dry-run " + Aliases() + " '" + tooFew + "'");
    EXPECT_EQ(dry.status, 1);
    EXPECT_EQ(dry.LastErrorLine(),
              "rowsmith-fill: Unique, but the fill value gives 1000 distinct values for 2000 "
              "records. Table: \"shop\". Field: \"code\"");
    EXPECT_EQ(Column("SELECT COUNT(*) FROM shop"), std::vector<std::string>{"0"});
}

INSTANTIATE_TEST_SUITE_P(Engines, UniqueFillTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
