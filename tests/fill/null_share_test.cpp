// A column's share of NULLs: drawn from the fill's seeded source, exact at 0 and 100, refused by
// the check where the column cannot take it.
#include <gtest/gtest.h>

#include <algorithm>

#include "fill_fixture.h"
#include "model/fill_methods.h"
#include "text/errors.h"

namespace rowsmith::test {
namespace {

class NullShareTest : public FillTest {
protected:
    // Fills "ns" with `records` records, n from a range with `share` as its NULL share and s a
    // single value, and gives n's values.
    std::vector<std::string> FillWithShare(const std::string& share, int records) {
        TFillTable& table = AddTable("ns", tfEmptyAndFill, records);
        SetField(table, "n", fmRandomInteger, "1 - 1000");
        SetField(table, "s", fmRandomString, "6");
        table.Fields().Items(table.FindField("n")).SetNullShare(share);
        engine.FillUp();
        return Column("ns", "n");
    }

    void SetUp() override {
        CreateTable("ns", "id " + db.AutoIncKeyType() + ", n INTEGER, s VARCHAR(10)");
    }

    // The check's message for `share` on column `field`, and whether the table kept its rows.
    std::string Refusal(const std::string& field, const std::string& share) {
        db.Execute("DELETE FROM ns");
        db.Execute("INSERT INTO ns (n, s) VALUES (7, 'kept')");
        TFillTable& table = scenario.Tables().Items(0);
        for (int i = 0; i < table.Fields().Count(); ++i) {
            table.Fields().Items(i).SetNullShare(
                table.Fields().Items(i).FieldName() == field ? share : "");
        }
        try {
            engine.FillUp();
        } catch (const Exception& e) {
            EXPECT_EQ(Count("ns"), 1) << "the check comes before anything is written";
            return e.what();
        }
        return "no error";
    }
};

TEST_P(NullShareTest, TheShareHoldsOverManyRecords) {
    const std::vector<std::string> values = FillWithShare("25", 100000);
    const auto nulls = std::count(values.begin(), values.end(), "");
    EXPECT_NEAR(static_cast<double>(nulls) / 100000, 0.25, 0.0025);
}

TEST_P(NullShareTest, NoneAndAllAreExact) {
    const std::vector<std::string> none = FillWithShare("", 200);
    EXPECT_EQ(std::count(none.begin(), none.end(), ""), 0);

    // A share of 0 draws nothing: the values are those of a fill without one.
    scenario.Tables().Items(0).Fields().Items(1).SetNullShare("0");
    engine.FillUp();
    EXPECT_EQ(Column("ns", "n"), none);

    // Every record NULL, with no draw taken: the other columns get what they get when the
    // column is not filled at all.
    TFillField& n = scenario.Tables().Items(0).Fields().Items(1);
    n.SetNullShare("100");
    engine.FillUp();
    EXPECT_EQ(Column("ns", "n"), std::vector<std::string>(200, ""));
    const std::vector<std::string> strings = Column("ns", "s");
    n.SetFillMethod(fmDontFill);
    engine.FillUp();
    EXPECT_EQ(Column("ns", "s"), strings);
}

TEST_P(NullShareTest, TheCheckRefusesWhatCannotBeFilled) {
    db.Execute("DROP TABLE ns");
    CreateTable("ns", "id " + db.AutoIncKeyType() + ", n INTEGER, s VARCHAR(10) NOT NULL");
    TFillTable& table = AddTable("ns", tfEmptyAndFill, 10);
    SetField(table, "n", fmRandomInteger, "1 - 1000");
    SetField(table, "s", fmSingleValue, "x");
    EXPECT_EQ(Refusal("s", "10"), "NULL share on a NOT NULL column. Table: \"ns\". Field: \"s\"");
    EXPECT_EQ(Refusal("s", "0"), "no error");
    for (const char* wrong : {"150", "-1", "abc", "100.5"}) {
        EXPECT_EQ(Refusal("n", wrong),
                  "NULL share is not a number from 0 to 100. Table: \"ns\". Field: \"n\"")
            << wrong;
    }
    EXPECT_EQ(Refusal("n", "12.5"), "no error");
}

INSTANTIATE_TEST_SUITE_P(Engines, NullShareTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
