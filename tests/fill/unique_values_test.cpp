// Unique columns: every method that supports it gives each value of its range or set once,
// seeded fills repeat, the update methods keep clear of the values a column holds, and the
// check refuses a setting that cannot give enough values before anything is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "engine/database_errors.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"
#include "temp_dir.h"
#include "text/errors.h"

namespace rowsmith::test {
namespace {

class UniqueValuesTest : public FillTest {
protected:
    // Fills "u" (id, then `columns`) with `records` records, `column` unique from `method` and
    // `value`, and gives that column's values in record order.
    std::vector<std::string> FillUnique(const std::string& columns, const std::string& column,
                                        std::int32_t method, const std::string& value,
                                        int records) {
        CreateTable("u", "id " + db.AutoIncKeyType() + ", " + columns);
        TFillTable& table = AddTable("u", tfEmptyAndFill, records);
        SetField(table, column, method, value);
        table.Fields().Items(table.FindField(column)).SetUnique(true);
        engine.FillUp();
        return Column("u", column);
    }

    static std::vector<std::string> Sorted(std::vector<std::string> values) {
        std::sort(values.begin(), values.end());
        return values;
    }

    static std::vector<std::string> Numbers(std::int64_t first, std::int64_t count) {
        std::vector<std::string> numbers;
        for (std::int64_t i = 0; i < count; ++i) {
            numbers.push_back(std::to_string(first + i));
        }
        return Sorted(numbers);
    }

    std::string FillError() {
        try {
            engine.FillUp();
        } catch (const Exception& e) {
            return e.what();
        }
        return "no error";
    }
};

TEST_P(UniqueValuesTest, ARangeOfAsManyValuesAsRecordsGivesEachOnce) {
    static const struct {
        const char* label;
        const char* columnType;
        const char* range;
        std::int64_t first;
        int count;
    } cases[] = {
        {"integers", "INTEGER", "1 - 501", 1, 500},
        {"bounds in either order", "INTEGER", "501 - 1", 1, 500},
        {"negative bounds", "INTEGER", "-250 - 250", -250, 500},
        {"both negative", "INTEGER", "-20 - -10", -20, 10},
        {"one value", "INTEGER", "7 - 7", 7, 1},
        {"past 32 bits", "BIGINT", "9000000000 - 9000000300", 9000000000, 300},
    };
    for (const auto& c : cases) {
        OwnFill fresh(GetParam(), reporter);
        fresh.db.Execute("CREATE TABLE u (id " + fresh.db.AutoIncKeyType() + ", n " + c.columnType +
                         ")");
        TFillTable& table = fresh.AddTable("u", tfEmptyAndFill, c.count);
        table.Fields().Items(1).SetFillMethod(fmRandomInteger);
        table.Fields().Items(1).SetFillValue(c.range);
        table.Fields().Items(1).SetUnique(true);
        fresh.filler.FillUp();
        std::vector<std::string> got;
        for (const auto& row : fresh.db.Query("SELECT n FROM u")) {
            got.push_back(row[0]);
        }
        EXPECT_EQ(Sorted(got), Numbers(c.first, c.count)) << c.label;
    }
}

TEST_P(UniqueValuesTest, RealRangesAreUniqueAtTheColumnsPrecision) {
    const std::vector<std::string> values =
        FillUnique("r DOUBLE PRECISION", "r", fmRandomReal, "2 - 2.03", 300);
    std::set<long long> units;
    for (const std::string& value : values) {
        units.insert(std::llround(std::stod(value) * 10000));
    }
    ASSERT_EQ(units.size(), 300u);
    EXPECT_EQ(*units.begin(), 20000);
    EXPECT_EQ(*units.rbegin(), 20299);
}

TEST_P(UniqueValuesTest, SetsAndOtherMethodsNeverRepeat) {
    std::string set;
    std::vector<std::string> items;
    for (int i = 1; i <= 30; ++i) {
        items.push_back("item" + std::to_string(i));
        set += (i > 1 ? "," : "") + items.back();
    }
    // A repeated item counts once.
    EXPECT_EQ(Sorted(FillUnique("v VARCHAR(10)", "v", fmRandomFromSet, set + ",item3", 30)),
              Sorted(items));

    // Random strings of up to two characters: 47 of one and 2209 of two, the empty one NULL.
    // The one-character strings run out early, and their draws are drawn again.
    db.Execute("DROP TABLE u");
    scenario.Tables().Clear();
    const std::vector<std::string> strings =
        FillUnique("v VARCHAR(10)", "v", fmRandomString, "3", 1500);
    std::vector<std::string> written;
    std::copy_if(strings.begin(), strings.end(), std::back_inserter(written),
                 [](const std::string& s) { return !s.empty(); });
    EXPECT_EQ(std::set<std::string>(written.begin(), written.end()).size(), written.size());
    EXPECT_EQ(std::count_if(written.begin(), written.end(),
                            [](const std::string& s) { return s.size() == 1; }),
              47);
}

// Dates and libraries shuffle what they can give; patterns draw again on a repeat. Each range,
// library and pattern here gives exactly as many values as there are records.
TEST_P(UniqueValuesTest, DatesLibrariesAndPatternsGiveEachValueOnce) {
    std::vector<std::string> days;
    for (int day = 20; day <= 29; ++day) {
        days.push_back("2024-02-" + std::to_string(day));
    }
    for (int day = 1; day <= 10; ++day) {
        days.push_back("2024-03-" + std::string(day < 10 ? "0" : "") + std::to_string(day));
    }
    EXPECT_EQ(Sorted(FillUnique("d DATE", "d", fmDateRange, "2024-03-10 - 2024-02-20", 20)), days);

    // A weight no longer counts, and a value listed twice is one value.
    WriteFile(db.Folder().File("tools.txt"), "# Tools\nhammer\t50\nsaw\nchisel\nsaw\nplane\n");
    engine.SetScenarioFolder(db.Folder().Path());
    db.Execute("DROP TABLE u");
    scenario.Tables().Clear();
    EXPECT_EQ(Sorted(FillUnique("v VARCHAR(10)", "v", fmLibrary, "./tools.txt", 4)),
              Sorted({"chisel", "hammer", "plane", "saw"}));
    // The check counts the value listed twice once, and refuses a fifth record before writing.
    scenario.Tables().Items(0).SetRecCount(5);
    EXPECT_EQ(FillError(),
              "Unique, but the fill value gives 4 distinct values for 5 records. "
              "Table: \"u\". Field: \"v\"");
    EXPECT_EQ(Count("u"), 4);

    db.Execute("DROP TABLE u");
    scenario.Tables().Clear();
    std::vector<std::string> codes;
    for (int digit = 0; digit <= 9; ++digit) {
        codes.push_back("P-" + std::to_string(digit));
    }
    EXPECT_EQ(Sorted(FillUnique("v VARCHAR(10)", "v", fmPattern, "P-#", 10)), codes);
}

TEST_P(UniqueValuesTest, ASeededFillGivesTheSameShuffledOrderAgain) {
    const std::vector<std::string> first =
        FillUnique("n INTEGER", "n", fmRandomInteger, "1 - 201", 200);
    EXPECT_NE(first, Numbers(1, 200));
    engine.FillUp();
    EXPECT_EQ(Column("u", "n"), first);
    engine.SetFixedSeed(1);
    engine.FillUp();
    EXPECT_NE(Column("u", "n"), first);
}

// A record about to be overwritten still holds its value while those before it are written, so
// no value the column holds is drawn: with 15 values, 5 records kept and 5 overwritten, only
// the 5 values nobody holds are left.
TEST_P(UniqueValuesTest, TheUpdateMethodsDrawNoValueTheColumnHolds) {
    CreateTable("u", "id " + db.AutoIncKeyType() + ", n INTEGER UNIQUE");
    for (int i = 1; i <= 10; ++i) {
        db.Execute("INSERT INTO u (n) VALUES (" + std::to_string(i) + ")");
    }
    TFillTable& table = AddTable("u", tfUpdateAndFill, 5);
    SetField(table, "n", fmRandomInteger, "1 - 16");
    table.Fields().Items(1).SetUnique(true);
    engine.FillUp();
    EXPECT_EQ(Sorted(Column("u", "n")), Numbers(6, 10));
    EXPECT_EQ(Column("u", "n").back(), "10");

    table.SetTableFillMethod(tfUpdateExisting);
    table.Fields().Items(1).SetFillValue("1 - 21");
    engine.FillUp();
    EXPECT_EQ(Sorted(Column("u", "n")),
              Sorted({"1", "2", "3", "4", "5", "16", "17", "18", "19", "20"}));
}

TEST_P(UniqueValuesTest, TheCheckRefusesTooFewValuesBeforeWriting) {
    CreateTable("u", "id " + db.AutoIncKeyType() + ", n INTEGER, s VARCHAR(5)", {"1, 5, 'x'"});
    TFillTable& table = AddTable("u", tfEmptyAndFill, 500);
    SetField(table, "n", fmRandomInteger, "1 - 101");
    table.Fields().Items(1).SetUnique(true);
    EXPECT_EQ(FillError(),
              "Unique, but the fill value gives 100 distinct values for 500 records. "
              "Table: \"u\". Field: \"n\"");
    EXPECT_EQ(Count("u"), 1);

    SetField(table, "n", fmSingleValue, "4");
    EXPECT_EQ(FillError(),
              "Unique, but the fill value gives 1 distinct value for 500 records. "
              "Table: \"u\". Field: \"n\"");
    // With every record NULL there is nothing to keep apart.
    table.Fields().Items(1).SetNullShare("100");
    EXPECT_EQ(FillError(), "no error");
    EXPECT_EQ(Count("u"), 500);
}

// A method without an order of its own draws again on a repeat and gives up after a bound.
TEST_P(UniqueValuesTest, RedrawsGiveUpWithAClearError) {
    CreateTable("m", "id " + db.AutoIncKeyType() + ", k INTEGER", {"1, 1", "2, 2", "3, 1"});
    CreateTable("u", "id " + db.AutoIncKeyType() + ", n INTEGER");
    TFillTable& table = AddTable("u", tfEmptyAndFill, 5);
    SetField(table, "n", fmMasterTable, "m.k");
    table.Fields().Items(1).SetUnique(true);
    EXPECT_EQ(FillError(),
              "Unique, but no new value in 1000 draws after 2 records. Table: \"u\". Field: "
              "\"n\"");
    EXPECT_EQ(Column("u", "n"), (std::vector<std::string>{"1", "2"}));
}

// What the setting is for: a UNIQUE column fed at random clashes without it.
TEST_P(UniqueValuesTest, AUniqueColumnFilledAtRandomClashesOnlyWithout) {
    CreateTable("u", "id " + db.AutoIncKeyType() + ", n INTEGER UNIQUE");
    TFillTable& table = AddTable("u", tfEmptyAndFill, 300);
    SetField(table, "n", fmRandomInteger, "1 - 1001");
    EXPECT_THROW(engine.FillUp(), EDBEngineError);
    table.Fields().Items(1).SetUnique(true);
    engine.FillUp();
    const std::vector<std::string> values = Column("u", "n");
    EXPECT_EQ(values.size(), 300u);
    EXPECT_EQ(std::set<std::string>(values.begin(), values.end()).size(), 300u);
}

INSTANTIATE_TEST_SUITE_P(Engines, UniqueValuesTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
