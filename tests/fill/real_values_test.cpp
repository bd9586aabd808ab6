// Real ranges on real columns reach the database as numbers rather than texts. They must be the
// very numbers the "%.4f"/"%.2f" texts gave: a table filled by the engine is compared with one
// that gets the texts written through a cursor, record by record, on every test engine.
#include <gtest/gtest.h>

#include <iterator>

#include "engine/fill_run_scope.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"
#include "text/conversions.h"
#include "text/text_helpers.h"

namespace rowsmith::test {
namespace {

class RealValuesTest : public FillTest {};

TEST_P(RealValuesTest, RealColumnsGetTheNumbersOfTheRangeTexts) {
    // MariaDB has no money type; DECIMAL(19,4) is its money column.
    const std::string moneyType = GetParam() == TestEngine::MariaDB ? "DECIMAL(19,4)" : "MONEY";
    static const struct {
        const char* columnType;
        const char* range;
    } cases[] = {
        {"DOUBLE PRECISION", "0 - 1000"},
        {"DOUBLE PRECISION", "0.001 - 12345.678"},
        {"DOUBLE PRECISION", "1e6 - 0.5"},
        // Beyond the digits a double holds exactly: these still go through the text.
        {"DOUBLE PRECISION", "1e11 - 1e13"},
        {"MONEY", "0 - 10000"},
        {"MONEY", "0.5 - 99.99"},
        {"MONEY", "1e11 - 1e13"},
    };
    constexpr int kRecords = 3000;
    SetDecimalSeparator('.');
    for (std::size_t n = 0; n < std::size(cases); ++n) {
        const auto& c = cases[n];
        const bool money = std::string(c.columnType) == "MONEY";
        const std::string filled = "g" + std::to_string(n);
        const std::string written = "t" + std::to_string(n);
        const std::string columns =
            "id " + db.AutoIncKeyType() + ", x " + (money ? moneyType : c.columnType);
        CreateTable(filled, columns);
        CreateTable(written, columns);
        TFillTable& table = AddTable(filled, tfEmptyAndFill, kRecords);
        SetField(table, "x", fmRandomReal, c.range);
        engine.FillTable();

        const long double low = StrToFloat(LeftOf("-", c.range));
        const long double high = StrToFloat(RightOf("-", c.range));
        // Each case's table is the scenario's n-th, seeded from the fixed seed and its place.
        RandomSource expected;
        expected.SetRandomSeed(TableSeed(0, static_cast<int>(n)));
        TableCursor texts;
        texts.SetDatabaseName(db.Alias());
        texts.SetTableName(written);
        texts.Open();
        FillRunScope run(db.Alias());
        for (int i = 0; i < kRecords; ++i) {
            const long double x = low + expected.RandomFraction() * (high - low);
            texts.Append();
            texts.FieldNamed("x").WriteString(FormatFixed(x, money ? 2 : 4));
            texts.Post();
        }
        run.Finish();
        texts.Close();

        EXPECT_EQ(Count(filled), kRecords);
        EXPECT_EQ(db.QueryValue("SELECT count(*) FROM " + filled + " g JOIN " + written +
                                " t ON g.id = t.id WHERE g.x = t.x"),
                  std::to_string(kRecords))
            << c.range << " on " << c.columnType;
    }
}

// A money column keeps every digit of its single value and of the master's money column, through
// a fill run's batches (PostgreSQL's COPY, MariaDB's many-row inserts).
TEST_P(RealValuesTest, MoneyKeepsEveryDigitThroughAFill) {
    std::string type = "MONEY";
    std::string columns = "x, y";
    std::string single = "92233720368547758";
    std::string master = "-9223372036854775808";
    if (GetParam() == TestEngine::PostgreSQL) {
        columns = "x::numeric, y::numeric";
        single = "1234567890123456.78";
        master = "92233720368547758.07";
    } else if (GetParam() == TestEngine::MariaDB) {
        type = "DECIMAL(19,4)";
        single = "12345678901234.5678";
        master = "999999999999999.9999";
    }
    CreateTable("src", "id " + db.AutoIncKeyType() + ", x " + type, {"1, '" + master + "'"});
    CreateTable("m", "id " + db.AutoIncKeyType() + ", x " + type + ", y " + type);
    TFillTable& table = AddTable("m", tfEmptyAndFill, 3);
    SetField(table, "x", fmSingleValue, single);
    SetField(table, "y", fmMasterTable, "src.x");
    engine.FillUp();
    EXPECT_EQ(db.Query("SELECT " + columns + " FROM m ORDER BY id"),
              (std::vector<std::vector<std::string>>(3, {single, master})));
}

INSTANTIATE_TEST_SUITE_P(Engines, RealValuesTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
