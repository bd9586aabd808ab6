// The value generators, seen through fills with fixed seeds: with the seed known, every value is.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "engine/database_errors.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"
#include "text/conversions.h"
#include "text/errors.h"
#include "text/text_helpers.h"

namespace rowsmith::test {
namespace {

class GeneratorTest : public FillTest {
protected:
    // Fills table "g" (id, then `columns`) with `count` records, column `column` set to
    // `method` and `value`, and gives that column's values.
    std::vector<std::string> FillOne(const std::string& columns, const std::string& column,
                                     std::int32_t method, const std::string& value, int count) {
        CreateTable("g", "id " + db.AutoIncKeyType() + ", " + columns);
        TFillTable& table = AddTable("g", tfEmptyAndFill, count);
        SetField(table, column, method, value);
        engine.FillUp();
        return Column("g", column);
    }

    static std::vector<double> Numbers(const std::vector<std::string>& texts) {
        std::vector<double> numbers;
        for (const std::string& text : texts) {
            numbers.push_back(std::stod(text));
        }
        return numbers;
    }
};

TEST_P(GeneratorTest, TheRangeZeroToTenFromSeedZero) {
    EXPECT_EQ(FillOne("n INTEGER", "n", fmRandomInteger, "0 - 10", 5),
              (std::vector<std::string>{"0", "0", "8", "2", "2"}));
}

TEST_P(GeneratorTest, IntegerRangesDrawOnceBelowTheTruncatedSpan) {
    static const struct {
        const char* columnType;
        std::int32_t method;
        const char* range;
        std::int32_t low;
        std::uint32_t span;
    } cases[] = {
        {"INTEGER", fmRandomInteger, "1 - 10", 1, 9},
        {"INTEGER", fmRandomInteger, "10 - 1", 1, 9},
        {"INTEGER", fmRandomInteger, "5 - 5", 5, 0},
        {"SMALLINT", fmRandomInteger, "100-200", 100, 100},
        {"INTEGER", fmRandomReal, "1.5 - 3.7", 1, 2},
        {"INTEGER", fmRandomReal, "3.7 - 1.5", 1, 2},
        {"INTEGER", fmRandomInteger, "0 - 2147483647", 0, 2147483647},
        // The check takes hexadecimal bounds as integers, so the fill reads them the same way.
        {"INTEGER", fmRandomInteger, "$1F - 40", 31, 9},
        {"INTEGER", fmRandomInteger, "$FFFFFFFF - 3", -1, 4},
    };
    for (const auto& c : cases) {
        OwnFill fresh(GetParam(), reporter);
        fresh.db.Execute(std::string("CREATE TABLE g (id ") + fresh.db.AutoIncKeyType() + ", n " +
                         c.columnType + ")");
        fresh.filler.SetFixedSeed(77);
        TFillTable& table = fresh.AddTable("g", tfEmptyAndFill, 40);
        table.Fields().Items(1).SetFillMethod(c.method);
        table.Fields().Items(1).SetFillValue(c.range);
        fresh.filler.FillUp();

        RandomSource expected;
        expected.SetRandomSeed(77);
        std::vector<std::string> want;
        for (int i = 0; i < 40; ++i) {
            want.push_back(
                std::to_string(c.low + static_cast<std::int64_t>(expected.RandomBelow(c.span))));
        }
        std::vector<std::string> got;
        for (const auto& row : fresh.db.Query("SELECT n FROM g ORDER BY id")) {
            got.push_back(row[0]);
        }
        EXPECT_EQ(got, want) << c.range << " on " << c.columnType;
    }
}

TEST_P(GeneratorTest, RealRangesGiveFourDecimalsAndMoneyTwo) {
    if (GetParam() == TestEngine::MariaDB) {
        GTEST_SKIP() << "MariaDB has no MONEY type";
    }
    static const struct {
        const char* columnType;
        std::int32_t method;
        const char* range;
        long double low;
        long double high;
        int decimals;
    } cases[] = {
        {"DOUBLE PRECISION", fmRandomReal, "0 - 1", 0, 1, 4},
        {"DOUBLE PRECISION", fmRandomReal, "2.5 - 1e3", 2.5L, 1000, 4},
        {"DOUBLE PRECISION", fmRandomInteger, "1 - 10", 1, 10, 4},
        {"DOUBLE PRECISION", fmRandomReal, "3 - 1", 3, 1, 4},
        {"MONEY", fmRandomReal, "0 - 1", 0, 1, 2},
        {"MONEY", fmRandomInteger, "10 - 500", 10, 500, 2},
    };
    SetDecimalSeparator('.');
    for (const auto& c : cases) {
        OwnFill fresh(GetParam(), reporter);
        fresh.db.Execute(std::string("CREATE TABLE g (id ") + fresh.db.AutoIncKeyType() + ", x " +
                         c.columnType + ")");
        fresh.filler.SetFixedSeed(5);
        TFillTable& table = fresh.AddTable("g", tfEmptyAndFill, 30);
        table.Fields().Items(1).SetFillMethod(c.method);
        table.Fields().Items(1).SetFillValue(c.range);
        fresh.filler.FillUp();

        RandomSource expected;
        expected.SetRandomSeed(5);
        // A server shows money with its currency sign; as a number it reads the same anywhere.
        const auto rows = fresh.db.Query("SELECT CAST(x AS NUMERIC) FROM g ORDER BY id");
        ASSERT_EQ(rows.size(), 30u);
        for (const auto& row : rows) {
            const long double x = c.low + expected.RandomFraction() * (c.high - c.low);
            EXPECT_DOUBLE_EQ(std::stod(row[0]), std::stod(FormatFixed(x, c.decimals)))
                << c.range << " on " << c.columnType;
        }
    }
}

TEST_P(GeneratorTest, ARangeOnATextColumnWritesNothingAndDrawsNothing) {
    CreateTable("g", "id " + db.AutoIncKeyType() + ", s VARCHAR(10), n INTEGER");
    TFillTable& table = AddTable("g", tfEmptyAndFill, 5);
    SetField(table, "s", fmRandomInteger, "1 - 100");
    SetField(table, "n", fmRandomInteger, "0 - 10");
    engine.FillUp();
    EXPECT_EQ(Column("g", "s"), std::vector<std::string>(5, ""));
    EXPECT_EQ(Column("g", "n"), (std::vector<std::string>{"0", "0", "8", "2", "2"}));
}

// Settings listed in another order than the columns (a hand-made Fields= list) go to the
// columns they name.
TEST_P(GeneratorTest, SettingsInAnotherOrderWriteTheColumnsTheyName) {
    CreateTable("g", "a INTEGER, b REAL");
    TFillTable& table = scenario.Tables().Items(scenario.AddTable("g"));
    table.SetRecCount(3);
    table.AddField("b");
    table.AddField("a");
    SetField(table, "b", fmRandomReal, "5 - 6");
    SetField(table, "a", fmAutoIncrement, "");
    engine.FillUp();
    EXPECT_EQ(Column("g", "a", "a"), (std::vector<std::string>{"1", "2", "3"}));
    for (const std::string& b : Column("g", "b", "a")) {
        EXPECT_TRUE(std::stod(b) >= 5 && std::stod(b) <= 6) << b;
    }
}

TEST_P(GeneratorTest, RangeErrorsArriveAtTheFirstValue) {
    static const struct {
        const char* range;
        std::int32_t method;
        const char* message;
    } cases[] = {
        {"0 - 3000000000", fmRandomReal,
         "3000000000 is not a valid value for field 'n'. The allowed range is -2147483648 to "
         "2147483647"},
        {"1e10 - 5", fmRandomReal,
         "10000000000 is not a valid value for field 'n'. The allowed range is -2147483648 to "
         "2147483647"},
        {"1e20 - 5", fmRandomReal,
         "1E20 is not a valid value for field 'n'. The allowed range is -2147483648 to "
         "2147483647"},
    };
    for (const auto& c : cases) {
        for (std::int32_t count : {0, 3}) {
            OwnFill fresh(GetParam(), reporter);
            fresh.db.Execute("CREATE TABLE g (n INTEGER)");
            fresh.db.Execute("INSERT INTO g VALUES (1)");
            TFillTable& table = fresh.AddTable("g", tfEmptyAndFill, count);
            table.Fields().Items(0).SetFillMethod(c.method);
            table.Fields().Items(0).SetFillValue(c.range);
            if (count == 0) {
                EXPECT_NO_THROW(fresh.filler.FillUp()) << c.range;
                continue;
            }
            try {
                fresh.filler.FillUp();
                ADD_FAILURE() << c.range << ": no error";
            } catch (const Exception& error) {
                EXPECT_STREQ(error.what(), c.message);
            }
            EXPECT_EQ(fresh.db.QueryValue("SELECT COUNT(*) FROM g"), "0");
        }
    }
}

TEST_P(GeneratorTest, SetItemsAreDrawnEvenlyAndAnEmptySetGivesNothing) {
    const auto colours =
        FillOne("s VARCHAR(10), t VARCHAR(10)", "s", fmRandomFromSet, "red,green,blue", 3000);
    std::map<std::string, int> seen;
    for (const auto& value : colours) {
        ++seen[value];
    }
    ASSERT_EQ(seen.size(), 3u);
    for (const auto& [value, times] : seen) {
        EXPECT_NEAR(times, 1000, 100) << value;
    }

    TFillTable& table = scenario.Tables().Items(0);
    SetField(table, "s", fmRandomFromSet, "a,a,b");
    SetField(table, "t", fmRandomFromSet, "");
    engine.FillUp();
    const auto letters = Column("g", "s");
    const auto as = std::count(letters.begin(), letters.end(), "a");
    EXPECT_NEAR(static_cast<double>(as) / 3000, 2.0 / 3, 0.03);
    EXPECT_EQ(Column("g", "t"), std::vector<std::string>(3000, ""));
}

TEST_P(GeneratorTest, RandomStringsStayBelowTheirLimitInTheirCharacters) {
    const auto texts = FillOne("s VARCHAR(20)", "s", fmRandomString, "10", 2000);
    std::size_t longest = 0;
    for (const auto& text : texts) {
        longest = std::max(longest, text.size());
        for (char ch : text) {
            EXPECT_TRUE(ch >= '0' && ch <= '^') << text;
        }
    }
    EXPECT_EQ(longest, 9u);
}

TEST_P(GeneratorTest, AHugeStringLimitBuildsNoMoreThanTheColumnKeeps) {
    CreateTable("g", "id " + db.AutoIncKeyType() + ", s VARCHAR(5), n INTEGER");
    TFillTable& table = AddTable("g", tfEmptyAndFill, 20);
    SetField(table, "s", fmRandomString, "200000");
    SetField(table, "n", fmRandomInteger, "0 - 1000");
    engine.FillUp();

    // Every character is drawn, as without the column's limit; the column keeps the first five.
    RandomSource expected;
    for (const auto& row : db.Query("SELECT s, n FROM g ORDER BY id")) {
        const std::uint32_t length = expected.RandomBelow(200000);
        std::string text;
        for (std::uint32_t k = 0; k < length; ++k) {
            text += static_cast<char>('0' + expected.RandomBelow(47));
        }
        EXPECT_EQ(row[0], text.substr(0, 5));
        EXPECT_EQ(row[1], std::to_string(expected.RandomBelow(1000)));
    }
}

TEST_P(GeneratorTest, ShortAndNegativeStringLimitsTakeOneDrawPerValue) {
    static const struct {
        const char* limit;
        std::size_t longest;
    } cases[] = {{"0", 0}, {"1", 0}, {"-5", 0}, {"3", 2}};
    for (const auto& c : cases) {
        OwnFill fresh(GetParam(), reporter);
        fresh.db.Execute("CREATE TABLE g (id " + fresh.db.AutoIncKeyType() +
                         ", s VARCHAR(10), n INTEGER)");
        TFillTable& table = fresh.AddTable("g", tfEmptyAndFill, 200);
        table.Fields().Items(1).SetFillMethod(fmRandomString);
        table.Fields().Items(1).SetFillValue(c.limit);
        table.Fields().Items(2).SetFillMethod(fmRandomInteger);
        table.Fields().Items(2).SetFillValue("0 - 1000");
        fresh.filler.FillUp();

        RandomSource expected;
        std::size_t longest = 0;
        for (const auto& row : fresh.db.Query("SELECT s, n FROM g ORDER BY id")) {
            longest = std::max(longest, row[0].size());
            const std::uint32_t length =
                expected.RandomBelow(c.limit[0] == '-' ? 0 : c.limit[0] - '0');
            for (std::uint32_t k = 0; k < length; ++k) {
                expected.RandomBelow(47);
            }
            EXPECT_EQ(row[1], std::to_string(expected.RandomBelow(1000))) << c.limit;
        }
        EXPECT_EQ(longest, c.longest) << c.limit;
    }
}

TEST_P(GeneratorTest, MasterValuesCycleThroughTheMasterRows) {
    CreateTable("m", "id " + db.AutoIncKeyType() + ", x INTEGER", {"1, 10", "2, 20", "3, 30"});
    CreateTable("empty", "id " + db.AutoIncKeyType() + ", x INTEGER");
    CreateTable("g", "id " + db.AutoIncKeyType() + ", a INTEGER, b INTEGER");
    TFillTable& table = AddTable("g", tfEmptyAndFill, 7);
    SetField(table, "a", fmMasterTable, "m.x");
    SetField(table, "b", fmMasterTable, "empty.x");
    engine.FillUp();
    EXPECT_EQ(Column("g", "a"),
              (std::vector<std::string>{"10", "20", "30", "10", "20", "30", "10"}));
    EXPECT_EQ(Column("g", "b"), std::vector<std::string>(7, ""));
}

TEST_P(GeneratorTest, SettingsOnOneMasterTableShareTheFirstCursor) {
    CreateTable("m", "id " + db.AutoIncKeyType() + ", x INTEGER", {"1, 10", "2, 20", "3, 30"});
    CreateTable("g", "id " + db.AutoIncKeyType() + ", a INTEGER, b INTEGER");
    TFillTable& table = AddTable("g", tfEmptyAndFill, 3);
    SetField(table, "a", fmMasterTable, "m.id");
    SetField(table, "b", fmMasterTable, "m.x");
    engine.FillUp();
    EXPECT_EQ(Column("g", "a"), (std::vector<std::string>{"1", "3", "2"}));
    EXPECT_EQ(Column("g", "b"), (std::vector<std::string>{"20", "10", "30"}));
}

TEST_P(GeneratorTest, AMasterColumnThatIsMissingStopsTheFill) {
    CreateTable("m", "x INTEGER", {"1"});
    CreateTable("g", "id " + db.AutoIncKeyType() + ", a INTEGER", {"1, 5"});
    TFillTable& table = AddTable("g", tfEmptyAndFill, 3);
    SetField(table, "a", fmMasterTable, "m.nope");
    try {
        engine.FillUp();
        FAIL() << "no error";
    } catch (const EDatabaseError& error) {
        EXPECT_STREQ(error.what(), ": Field 'nope' not found");
    }
    EXPECT_EQ(Count("g"), 0);
}

TEST_P(GeneratorTest, AutoIncrementCountsFromOneInEveryTableAndRun) {
    CreateTable("a", "id " + db.AutoIncKeyType() + ", n INTEGER");
    CreateTable("b", "id " + db.AutoIncKeyType() + ", n INTEGER");
    SetField(AddTable("a", tfEmptyAndFill, 5), "n", fmAutoIncrement, "");
    SetField(AddTable("b", tfEmptyAndFill, 3), "n", fmAutoIncrement, "");
    engine.FillUp();
    engine.FillUp();
    EXPECT_EQ(Column("a", "n"), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(Column("b", "n"), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(scenario.Tables().Items(0).Fields().Items(1).Counter(), 6);
}

// The inverse of an odd number modulo 2^32, by Newton's iteration.
std::uint32_t InverseOf(std::uint32_t odd) {
    std::uint32_t inverse = odd;
    for (int i = 0; i < 5; ++i) {
        inverse *= 2u - odd * inverse;
    }
    return inverse;
}

// The seed whose next step gives `state`.
std::uint32_t SeedBefore(std::uint32_t state) {
    return (state - 1u) * InverseOf(134775813u);
}

TEST_P(GeneratorTest, RangeTextsAreTheFixedFormatOfTheExactValue) {
    if (GetParam() == TestEngine::MariaDB) {
        GTEST_SKIP() << "MariaDB has no MONEY type";
    }
    static const struct {
        const char* columnType;
        const char* range;
    } cases[] = {
        {"REAL", "0 - 1000"},
        {"REAL", "0 - 1"},
        {"REAL", "5 - 2147483647"},
        {"REAL", "1.5 - 3.7"},
        {"REAL", "10 - 2"},
        {"REAL", "0 - 2147483648"},
        {"REAL", "1e3 - 1e30"},
        {"MONEY", "0 - 10000"},
        {"MONEY", "0.5 - 1"},
        {"MONEY", "7 - 7"},
        {"REAL", "2147483647 - 2147483647"},
    };
    SetDecimalSeparator('.');
    CreateTable("g", "x REAL, m MONEY");
    TFillTable& table = AddTable("g", tfEmptyAndFill, 0);
    // States where the scaled value lies exactly half way between two units, for ranges of 1:
    // state * 10^4 = 2^31 modulo 2^32, and the same for 10^2.
    const std::uint32_t tieFour = (std::uint32_t{1} << 27) * InverseOf(625) % (1u << 28);
    const std::uint32_t tieTwo = (std::uint32_t{1} << 29) * InverseOf(25) % (1u << 30);
    for (const auto& c : cases) {
        const bool money = std::string(c.columnType) == "MONEY";
        const int index = money ? 1 : 0;
        SetField(table, money ? "m" : "x", fmRandomReal, c.range);
        const long double low = StrToFloat(LeftOf("-", c.range));
        const long double high = StrToFloat(RightOf("-", c.range));
        RandomSource expected;
        expected.SetRandomSeed(123);
        engine.Random().SetRandomSeed(123);
        engine.BindTable(table);
        for (int i = 0; i < 20000; ++i) {
            const long double x = low + expected.RandomFraction() * (high - low);
            ASSERT_EQ(engine.RandomRangeValue(index), FormatFixed(x, money ? 2 : 4)) << c.range;
        }
        for (std::uint32_t tie : {tieFour, tieFour + (1u << 28), tieTwo, tieTwo + (1u << 30)}) {
            engine.Random().SetRandomSeed(SeedBefore(tie));
            const long double x = low + (tie / 4294967296.0L) * (high - low);
            EXPECT_EQ(engine.RandomRangeValue(index), FormatFixed(x, money ? 2 : 4)) << c.range;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, GeneratorTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
