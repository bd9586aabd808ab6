// Binding a scenario table to the work table, and the master cursors.
#include <gtest/gtest.h>

#include "engine/database_errors.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"

namespace rowsmith::test {
namespace {

class BindingTest : public FillTest {
protected:
    static std::vector<std::string> SettingNames(const TFillTable& table) {
        std::vector<std::string> names;
        for (int i = 0; i < table.Fields().Count(); ++i) {
            names.push_back(table.Fields().Items(i).FieldName());
        }
        return names;
    }
};

TEST_P(BindingTest, ANewTableGetsOneDoNotFillSettingPerColumnInColumnOrder) {
    CreateTable("people", "id INTEGER, name VARCHAR(20), height REAL");
    TFillTable& table = AddTable("people", tfEmptyAndFill, 1);
    EXPECT_EQ(SettingNames(table), (std::vector<std::string>{"id", "name", "height"}));
    for (int i = 0; i < table.Fields().Count(); ++i) {
        EXPECT_EQ(table.Fields().Items(i).FillMethod(), fmDontFill);
        EXPECT_EQ(table.Fields().Items(i).FillValue(), "");
    }
    EXPECT_EQ(engine.CurrentTable(), &table);
    EXPECT_TRUE(engine.WorkTable().Active());
    EXPECT_TRUE(engine.WorkTable().Exclusive());
    EXPECT_EQ(engine.WorkTable().TableName(), "people");

    engine.BindTable(table);
    EXPECT_EQ(table.Fields().Count(), 3);
}

// Settings go to the columns they name exactly, else to the column whose name differs only in
// letter case; those whose column is gone follow in their former order, where the window can
// drop them.
TEST_P(BindingTest, SettingsFollowTheColumnsByNameAndOrphansComeLast) {
    CreateTable("t", "a INTEGER, c INTEGER, d INTEGER");
    TFillTable& table = scenario.Tables().Items(scenario.AddTable("t"));
    table.AddField("d");
    table.AddField("b");
    table.AddField("a");
    table.AddField("C");
    const TFillField* d = &table.Fields().Items(0);
    const TFillField* c = &table.Fields().Items(3);
    table.Fields().Items(1).SetFillMethod(fmSingleValue);
    engine.BindTable(table);
    EXPECT_EQ(SettingNames(table), (std::vector<std::string>{"a", "C", "d", "b"}));
    EXPECT_EQ(&table.Fields().Items(1), c);
    EXPECT_EQ(&table.Fields().Items(2), d);
    EXPECT_EQ(table.Fields().Items(3).FillMethod(), fmSingleValue);
    EXPECT_EQ(engine.OrphanSettingCount(), 1);

    // Binding again changes nothing; dropping the orphans leaves one setting per column.
    engine.BindTable(table);
    EXPECT_EQ(SettingNames(table), (std::vector<std::string>{"a", "C", "d", "b"}));
    EXPECT_TRUE(engine.DropOrphanSettings());
    EXPECT_EQ(SettingNames(table), (std::vector<std::string>{"a", "C", "d"}));
    EXPECT_EQ(engine.OrphanSettingCount(), 0);
    EXPECT_FALSE(engine.DropOrphanSettings());
    EXPECT_EQ(&table.Fields().Items(2), d);
}

// A scenario written for column "A" as "a" fills it, as binding by position did.
TEST_P(BindingTest, AFillWritesTheColumnsSettingsNameInAnotherLetterCase) {
    CreateTable("t", "\"A\" INTEGER, \"Code\" VARCHAR(5)", {"7, 'old'"});
    TFillTable& table = scenario.Tables().Items(scenario.AddTable("t"));
    table.SetRecCount(2);
    table.AddField("code");
    table.AddField("a");
    SetField(table, "code", fmSingleValue, "z");
    SetField(table, "a", fmAutoIncrement, "");
    engine.FillUp();
    EXPECT_EQ(SettingNames(table), (std::vector<std::string>{"a", "code"}));
    EXPECT_EQ(Column("t", "A", "A"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(Column("t", "Code", "A"), (std::vector<std::string>{"z", "z"}));
}

TEST_P(BindingTest, ATableThatCannotBeOpenedIsCurrentWithTheWorkTableClosed) {
    CreateTable("here", "x INTEGER");
    TFillTable& here = AddTable("here", tfEmptyAndFill, 1);
    TFillTable& missing = scenario.Tables().Items(scenario.AddTable("missing"));
    EXPECT_THROW(engine.BindTable(missing), EDatabaseError);
    EXPECT_EQ(engine.CurrentTable(), &missing);
    EXPECT_FALSE(engine.WorkTable().Active());
    EXPECT_EQ(engine.OrphanSettingCount(), 0);
    EXPECT_FALSE(engine.DropOrphanSettings());
    EXPECT_EQ(missing.Fields().Count(), 0);
    EXPECT_EQ(here.Fields().Count(), 1);
}

TEST_P(BindingTest, TheWorkTableFollowsTheScenariosAliasAndClosesForANewScenario) {
    CreateTable("t", "a INTEGER");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 1);
    EXPECT_EQ(engine.WorkTable().DatabaseName(), db.Alias());

    // A scenario shown on another alias: the next bind opens the table there.
    scenario.SetAliasName("Elsewhere");
    EXPECT_THROW(engine.BindTable(table), EDBEngineError);
    EXPECT_EQ(engine.WorkTable().DatabaseName(), "Elsewhere");
    EXPECT_FALSE(engine.WorkTable().Active());
    scenario.SetAliasName(db.Alias());
    engine.BindTable(table);
    EXPECT_TRUE(engine.WorkTable().Active());

    engine.CloseWorkTable();
    EXPECT_FALSE(engine.WorkTable().Active());
    EXPECT_EQ(engine.CurrentTable(), nullptr);
}

TEST_P(BindingTest, EveryMasterSettingGetsACursorOfItsOwnAndTheFirstIsFound) {
    CreateTable("m", "x INTEGER", {"1"});
    CreateTable("t", "a INTEGER, b INTEGER, c INTEGER");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 1);
    SetField(table, "a", fmMasterTable, "m.x");
    SetField(table, "c", fmMasterTable, "m.x");
    engine.OpenMasterTables();
    EXPECT_EQ(engine.MasterTableCount(), 2);
    TableCursor* found = engine.FindMasterTable("m");
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(found->Active());
    EXPECT_FALSE(found->Exclusive());
    EXPECT_EQ(found->DatabaseName(), db.Alias());
    EXPECT_EQ(engine.FindMasterTable("M"), nullptr);
    EXPECT_EQ(engine.FindMasterTable(""), nullptr);
}

TEST_P(BindingTest, TheNextTablesMasterCursorsReplaceThePreviousOnes) {
    CreateTable("m", "x INTEGER");
    CreateTable("t1", "a INTEGER");
    CreateTable("t2", "a INTEGER");
    TFillTable& first = AddTable("t1", tfEmptyAndFill, 1);
    SetField(first, "a", fmMasterTable, "m.x");
    engine.OpenMasterTables();
    EXPECT_EQ(engine.MasterTableCount(), 1);
    AddTable("t2", tfEmptyAndFill, 1);
    engine.OpenMasterTables();
    EXPECT_EQ(engine.MasterTableCount(), 0);
    EXPECT_EQ(engine.FindMasterTable("m"), nullptr);
}

TEST_P(BindingTest, AMasterValueWithoutTablePartFailsAfterTheCursorsBeforeIt) {
    CreateTable("m", "x INTEGER");
    CreateTable("t", "a INTEGER, b INTEGER, c INTEGER");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 1);
    SetField(table, "a", fmMasterTable, "m.x");
    SetField(table, "b", fmMasterTable, "x");
    SetField(table, "c", fmMasterTable, "m.x");
    try {
        engine.OpenMasterTables();
        FAIL() << "no error";
    } catch (const EDatabaseError& error) {
        EXPECT_STREQ(error.what(), "Missing TableName property");
    }
    EXPECT_EQ(engine.MasterTableCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, BindingTest, ::testing::ValuesIn(TestEngines()), EngineParamName);

}  // namespace
}  // namespace rowsmith::test
