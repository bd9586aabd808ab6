// "Random value from the master table": each record takes a random row of the master column,
// every row equally likely, never a value the master lacks, the same values whether the column is
// kept in memory or each row is found by its position, and the same values again from a seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "engine/page_budget.h"
#include "engine/table_cursor.h"
#include "fill/master_column_copy.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"

namespace rowsmith::test {
namespace {

class MasterRandomTest : public FillTest {
protected:
    // A master table "m" of `rows` rows whose x holds "v" and a number, not in key order.
    void CreateMaster(int rows) {
        CreateTable("m", "id " + db.AutoIncKeyType() + ", x VARCHAR(20)");
        const std::string last = std::to_string(rows);
        db.Execute("INSERT INTO m (x) SELECT 'v' || (n * 7 % " + last + ") FROM (" +
                   db.Numbers(rows) + ") AS n");
    }

    std::unique_ptr<TableCursor> Open(const std::string& table) {
        auto cursor = std::make_unique<TableCursor>();
        cursor->SetDatabaseName(db.Alias());
        cursor->SetTableName(table);
        cursor->Open();
        return cursor;
    }
};

// Parents with gaps in their keys, children drawn from them under a real foreign key: every
// child finds its parent, each parent gets about its share, and the draws are no walk in order.
TEST_P(MasterRandomTest, ChildrenReferToEveryParentAboutEquallyAndNeverToAMissingOne) {
    CreateTable("parent", "id INTEGER PRIMARY KEY, name VARCHAR(10)");
    const std::vector<std::string> keys = {"3", "7", "8", "20", "21", "55", "56", "90", "91", "99"};
    for (const std::string& key : keys) {
        db.Execute("INSERT INTO parent VALUES (" + key + ", 'p" + key + "')");
    }
    CreateTable("child",
                "id " + db.AutoIncKeyType() + ", pid INTEGER NOT NULL REFERENCES parent (id)");
    TFillTable& table = AddTable("child", tfEmptyAndFill, 5000);
    SetField(table, "pid", fmMasterRandom, "parent.id");
    engine.FillUp();

    EXPECT_EQ(db.QueryValue("SELECT COUNT(*) FROM child WHERE pid NOT IN (SELECT id FROM parent)"),
              "0");
    const std::vector<std::string> drawn = Column("child", "pid");
    ASSERT_EQ(drawn.size(), 5000u);
    std::map<std::string, int> counts;
    int sameAsBefore = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        ++counts[drawn[i]];
        sameAsBefore += i > 0 && drawn[i] == drawn[i - 1] ? 1 : 0;
    }
    ASSERT_EQ(counts.size(), keys.size());
    for (const auto& [key, count] : counts) {
        // 500 expected, the standard deviation about 21.
        EXPECT_NEAR(count, 500, 100) << key;
    }
    // A walk in order never repeats the record before; random rows do one time in ten.
    EXPECT_NEAR(sameAsBefore, 500, 150);
}

// Values written into a child whose parent refuses orphans, with the parent empty: each record
// is left NULL, as the values from an empty master table leave it.
TEST_P(MasterRandomTest, AnEmptyMasterLeavesTheColumnEmpty) {
    CreateTable("parent", "id INTEGER PRIMARY KEY");
    CreateTable("child", "id " + db.AutoIncKeyType() + ", pid INTEGER REFERENCES parent (id)");
    TFillTable& table = AddTable("child", tfEmptyAndFill, 4);
    SetField(table, "pid", fmMasterRandom, "parent.id");
    engine.FillUp();
    EXPECT_EQ(Column("child", "pid"), std::vector<std::string>(4, ""));
}

// Within the page bound the column is read once into memory; past it each record's row is read
// by its position. A seed gives the same rows either way, also when the bound runs out halfway.
TEST_P(MasterRandomTest, TheBoundDecidesOnlyWhereTheRowsAreReadFrom) {
    CreateMaster(2300);
    const std::vector<std::string> master = Column("m", "x");
    CreateTable("g", "id " + db.AutoIncKeyType() + ", a VARCHAR(20)");
    TFillTable& table = AddTable("g", tfEmptyAndFill, 400);
    SetField(table, "a", fmMasterRandom, "m.x");

    engine.FillUp();
    const std::vector<std::string> kept = Column("g", "a");
    const std::set<std::string> known(master.begin(), master.end());
    for (const std::string& value : kept) {
        ASSERT_TRUE(known.count(value) == 1) << value;
    }
    EXPECT_GT(std::set<std::string>(kept.begin(), kept.end()).size(), 300u);

    // 30000 bytes cannot hold a place for every row; 80000 can, but not every value.
    for (std::size_t bound : {std::size_t{0}, std::size_t{30000}, std::size_t{80000}}) {
        SCOPED_TRACE(bound);
        engine.SetMasterPageBound(bound);
        engine.FillUp();
        EXPECT_EQ(Column("g", "a"), kept);
    }
}

// The copy holds the column only while the budget lets it, gives every byte back, and past the
// budget holds nothing yet still writes each row's value, found by its position.
TEST_P(MasterRandomTest, TheCopyStaysWithinItsBudget) {
    CreateMaster(1500);
    const std::vector<std::string> master = Column("m", "x");
    CreateTable("g", "id " + db.AutoIncKeyType() + ", a VARCHAR(20)");
    auto source = Open("m");
    auto target = Open("g");
    constexpr std::size_t kRoomy = std::size_t{1} << 20;

    PageBudget roomy(kRoomy);
    {
        MasterColumnCopy copy(*source, source->FieldNamed("x"), roomy);
        EXPECT_TRUE(copy.Kept());
        EXPECT_EQ(copy.Rows(), 1500);
        EXPECT_FALSE(roomy.Take(kRoomy));
        target->Append();
        copy.WriteRow(1499, target->FieldNamed("a"));
        EXPECT_EQ(target->FieldNamed("a").ReadString(), master.back());
        target->Cancel();
    }
    EXPECT_TRUE(roomy.Take(kRoomy));

    // Too small for a place per row, then room for the places but not for every value.
    for (const std::size_t tightBytes : {std::size_t{20000}, std::size_t{50000}}) {
        SCOPED_TRACE(tightBytes);
        PageBudget tight(tightBytes);
        {
            MasterColumnCopy copy(*source, source->FieldNamed("x"), tight);
            EXPECT_FALSE(copy.Kept());
            EXPECT_EQ(copy.Rows(), 1500);
            // Nothing held: the whole budget is there for the others.
            EXPECT_TRUE(tight.Take(tightBytes));
            tight.Give(tightBytes);
            for (const std::int64_t row : {0, 777, 1499}) {
                target->Append();
                copy.WriteRow(row, target->FieldNamed("a"));
                EXPECT_EQ(target->FieldNamed("a").ReadString(),
                          master[static_cast<std::size_t>(row)])
                    << row;
                target->Cancel();
            }
        }
        EXPECT_TRUE(tight.Take(tightBytes));
    }
}

TEST_P(MasterRandomTest, ASeedRepeatsTheRowsAndThePreviewShowsWhatTheFillWrites) {
    CreateMaster(60);
    CreateTable("g", "id " + db.AutoIncKeyType() + ", a VARCHAR(20), b VARCHAR(20)");
    TFillTable& table = AddTable("g", tfEmptyAndFill, 30);
    SetField(table, "a", fmMasterRandom, "m.x");
    SetField(table, "b", fmMasterTable, "m.x");

    std::vector<std::string> seen;
    engine.SetRecordObserver(
        [&seen](const TableCursor& record) { seen.push_back(record.FieldAt(1).ReadString()); });
    engine.SetDryRun(true);
    engine.FillUp();
    engine.SetRecordObserver(nullptr);
    engine.SetDryRun(false);
    EXPECT_EQ(Count("g"), 0);
    engine.FillUp();
    const std::vector<std::string> first = Column("g", "a");
    EXPECT_EQ(seen, first);
    // Drawing at random leaves the walk of the same master table in order.
    const std::vector<std::string> master = Column("m", "x");
    EXPECT_EQ(Column("g", "b"), std::vector<std::string>(master.begin(), master.begin() + 30));

    engine.FillUp();
    EXPECT_EQ(Column("g", "a"), first);
    engine.SetFixedSeed(1);
    engine.FillUp();
    EXPECT_NE(Column("g", "a"), first);
}

// A unique column drawn with replacement gets each master value once while there are enough,
// and is refused, keeping what it wrote, when the master runs out of new values.
TEST_P(MasterRandomTest, AUniqueColumnTakesEachMasterValueOnce) {
    CreateMaster(40);
    const std::vector<std::string> master = Column("m", "x");
    CreateTable("g", "id " + db.AutoIncKeyType() + ", a VARCHAR(20) UNIQUE");
    TFillTable& table = AddTable("g", tfEmptyAndFill, 40);
    SetField(table, "a", fmMasterRandom, "m.x");
    table.Fields().Items(table.FindField("a")).SetUnique(true);
    engine.FillUp();
    std::vector<std::string> drawn = Column("g", "a");
    EXPECT_NE(drawn, master);
    std::sort(drawn.begin(), drawn.end());
    std::vector<std::string> sorted = master;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(drawn, sorted);

    table.SetRecCount(41);
    try {
        engine.FillUp();
        FAIL() << "no error";
    } catch (const Exception& error) {
        EXPECT_NE(std::string(error.what()).find("Unique, but"), std::string::npos) << error.what();
    }
    EXPECT_EQ(Count("g"), 40);
}

// A table that is its own master draws from the rows it held when its fill started.
TEST_P(MasterRandomTest, ATableDrawsFromItsOwnRowsAsTheyWereAtTheStart) {
    CreateTable("e", "id INTEGER PRIMARY KEY, boss INTEGER REFERENCES e (id)",
                {"1, NULL", "2, 1", "3, 1"});
    TFillTable& table = AddTable("e", tfUpdateAndFill, 50);
    SetField(table, "id", fmAutoIncrement, "");
    SetField(table, "boss", fmMasterRandom, "e.id");
    engine.FillUp();
    std::set<std::string> bosses;
    for (const std::string& boss : Column("e", "boss")) {
        bosses.insert(boss);
    }
    EXPECT_EQ(bosses, (std::set<std::string>{"1", "2", "3"}));
}

// A master table or column that is not there stops the fill with the error the values from the
// master table give.
TEST_P(MasterRandomTest, AMissingMasterStopsTheFillAsForTheMasterValues) {
    CreateTable("m", "x INTEGER", {"1"});
    CreateTable("g", "id " + db.AutoIncKeyType() + ", a INTEGER", {"1, 5"});
    TFillTable& table = AddTable("g", tfEmptyAndFill, 3);
    for (const char* value : {"m.nope", "nowhere.x"}) {
        std::string errors[2];
        for (const std::int32_t method : {fmMasterTable, fmMasterRandom}) {
            SetField(table, "a", method, value);
            try {
                engine.FillUp();
                ADD_FAILURE() << value << ": no error";
            } catch (const Exception& error) {
                errors[method == fmMasterRandom ? 1 : 0] = error.what();
            }
        }
        EXPECT_FALSE(errors[0].empty()) << value;
        EXPECT_EQ(errors[1], errors[0]) << value;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, MasterRandomTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
