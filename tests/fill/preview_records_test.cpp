// What the record observer of a dry run sees is what a real run with the same seed writes: every
// column method, under each table method, read back from the table afterwards.
#include <gtest/gtest.h>

#include <map>

#include "engine/table_cursor.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"

namespace rowsmith::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr std::size_t kShown = 5;

class PreviewRecordsTest : public FillTest {
protected:
    static std::vector<std::string> Values(const TableCursor& record) {
        std::vector<std::string> values;
        for (int i = 0; i < record.FieldCount(); ++i) {
            values.push_back(record.FieldAt(i).ReadString());
        }
        return values;
    }

    // The first kShown records of `table` in its own order, read through the engine.
    Rows ReadBack(const std::string& table) {
        TableCursor cursor;
        cursor.SetDatabaseName(db.Alias());
        cursor.SetTableName(table);
        cursor.Open();
        Rows rows;
        for (cursor.First(); !cursor.AtEnd() && rows.size() < kShown; cursor.Next()) {
            rows.push_back(Values(cursor));
        }
        cursor.Close();
        return rows;
    }
};

TEST_P(PreviewRecordsTest, TheDryRunsRecordsAreTheRealRunsWithTheSameSeed) {
    CreateTable("m", "x INTEGER", {"10", "20", "30"});
    for (const std::int32_t method : {tfEmptyAndFill, tfUpdateAndFill, tfUpdateExisting}) {
        const std::string name = "t" + std::to_string(method);
        CreateTable(name,
                    "id INTEGER PRIMARY KEY, kept INTEGER, one VARCHAR(8), pick VARCHAR(10), "
                    "i INTEGER, r DOUBLE PRECISION, s VARCHAR(12), m INTEGER",
                    {"1, 11, NULL, NULL, 0, 0, NULL, 0", "2, 12, NULL, NULL, 0, 0, NULL, 0",
                     "3, 13, NULL, NULL, 0, 0, NULL, 0"});
        TFillTable& table = AddTable(name, method, 7);
        SetField(table, "id", fmAutoIncrement, "");
        SetField(table, "one", fmSingleValue, "same");
        SetField(table, "pick", fmRandomFromSet, "red,green,blue");
        SetField(table, "i", fmRandomInteger, "10 - 90");
        SetField(table, "r", fmRandomReal, "0.5 - 99.5");
        SetField(table, "s", fmRandomString, "12");
        SetField(table, "m", fmMasterTable, "m.x");
    }

    std::map<std::string, Rows> seen;
    engine.SetRecordObserver([&seen](const TableCursor& record) {
        Rows& rows = seen[record.TableName()];
        if (rows.size() < kShown) {
            rows.push_back(Values(record));
        }
    });
    engine.SetDryRun(true);
    engine.FillUp();
    engine.SetRecordObserver(nullptr);
    engine.SetDryRun(false);
    engine.FillUp();

    for (const std::int32_t method : {tfEmptyAndFill, tfUpdateAndFill, tfUpdateExisting}) {
        const std::string name = "t" + std::to_string(method);
        const Rows written = ReadBack(name);
        // Updating three records shows only those three.
        EXPECT_EQ(written.size(), method == tfUpdateExisting ? 3u : kShown) << name;
        EXPECT_EQ(seen[name], written) << name;
    }
    // The column nobody fills shows what the record holds: the old value on an updated record.
    EXPECT_EQ(seen["t1"][0][1], "11");
    EXPECT_EQ(seen["t1"][4][1], "");
}

TEST_P(PreviewRecordsTest, AColumnLeftAloneShowsWhatEachRecordHoldsOnEveryPage) {
    CreateTable("t", "id " + db.AutoIncKeyType() + ", kept VARCHAR(10), n INTEGER");
    db.Execute("INSERT INTO t (kept) SELECT 'k' || n FROM (" + db.Numbers(2500) + ") AS numbers");
    TFillTable& table = AddTable("t", tfUpdateExisting, 0);
    SetField(table, "n", fmRandomInteger, "1 - 9");
    std::vector<std::string> shown;
    engine.SetRecordObserver(
        [&shown](const TableCursor& record) { shown.push_back(record.FieldAt(1).ReadString()); });
    engine.FillUp();
    EXPECT_EQ(shown, Column("t", "kept"));
}

INSTANTIATE_TEST_SUITE_P(Engines, PreviewRecordsTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
