// The check of fill values before anything is written.
#include <gtest/gtest.h>

#include "fill_fixture.h"
#include "model/fill_methods.h"
#include "text/conversions.h"
#include "text/errors.h"

namespace rowsmith::test {
namespace {

class CheckTest : public FillTest {};

TEST_P(CheckTest, TheFormOfEachMethodsValue) {
    static const struct {
        std::int32_t method;
        int column;  // 0 is an INTEGER column, 1 a VARCHAR one
        const char* text;
        bool valid;
    } cases[] = {
        {fmRandomInteger, 0, "1 - 10", true},
        {fmRandomInteger, 0, "1-10", true},
        {fmRandomInteger, 0, "1 -10", true},
        {fmRandomInteger, 0, " \t1 - 10  ", true},
        {fmRandomInteger, 0, "10 - 1", true},
        {fmRandomInteger, 0, "$1F - 40", true},
        {fmRandomInteger, 0, "1 - 10 x", false},
        {fmRandomInteger, 0, "1 -- 10", false},
        {fmRandomInteger, 0, "1 - ", false},
        {fmRandomInteger, 0, "1", false},
        {fmRandomInteger, 0, "", false},
        {fmRandomInteger, 0, "-5 - 10", true},
        {fmRandomInteger, 0, "-10 - -5", true},
        {fmRandomInteger, 0, "1 - 9000000000", false},
        {fmRandomInteger, 0, "1.5 - 3", false},
        {fmRandomInteger, 0, "1 , 3", false},
        {fmRandomReal, 0, "1.5 - 3", true},
        {fmRandomReal, 0, "1 - 3", true},
        {fmRandomReal, 0, "1e3 - 2e3", true},
        {fmRandomReal, 0, "1e-3 - 1", false},
        {fmRandomReal, 0, "1,5 - 3", false},
        {fmRandomReal, 0, "-5 - 10", false},
        {fmRandomReal, 0, "", false},
        {fmSingleValue, 0, "12", true},
        {fmSingleValue, 0, "12.5", true},
        {fmSingleValue, 0, "abc", false},
        {fmSingleValue, 0, "", false},
        {fmSingleValue, 1, "abc", true},
        {fmSingleValue, 1, "", true},
        {fmRandomString, 0, "10", true},
        {fmRandomString, 0, "-5", true},
        {fmRandomString, 0, "ten", false},
        {fmRandomString, 0, "", false},
        {fmRandomString, 0, "10 ", false},
        {fmDontFill, 0, "anything", true},
        {fmRandomFromSet, 0, "", true},
        {fmAutoIncrement, 0, "x", true},
        {fmMasterTable, 0, "no point", true},
        {1000, 0, "1 -- 2", true},
        {-1, 0, "", true},
    };
    SetDecimalSeparator('.');
    CreateTable("t", "n INTEGER, s VARCHAR(10)");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 1);
    for (const auto& c : cases) {
        table.Fields().Items(c.column).SetFillMethod(c.method);
        EXPECT_EQ(engine.CheckFillValue(c.column, c.text), c.valid)
            << "method " << c.method << " column " << c.column << " '" << c.text << "'";
    }
}

// The check's numeric types: a single value for them must be a number. DECIMAL (ftBCD) is not
// among them, so any text passes the check there.
TEST_P(CheckTest, ASingleValueIsANumberForTheNumericTypesOnly) {
    if (GetParam() == TestEngine::MariaDB) {
        GTEST_SKIP() << "MariaDB has no MONEY type";
    }
    CreateTable("t", "id " + db.AutoIncKeyType() +
                         ", a SMALLINT, b REAL, c MONEY, d DECIMAL(5,2), e DATE, f VARCHAR(5)");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 1);
    const bool numeric[] = {true, true, true, true, false, false, false};
    for (int i = 0; i < table.Fields().Count(); ++i) {
        table.Fields().Items(i).SetFillMethod(fmSingleValue);
        EXPECT_EQ(engine.CheckFillValue(i, "abc"), !numeric[i]) << i;
        EXPECT_TRUE(engine.CheckFillValue(i, "12")) << i;
    }
}

TEST_P(CheckTest, TheFirstWrongValueNamesItsTableAndFieldAndNothingIsWritten) {
    CreateTable("first", "qty INTEGER", {"7"});
    CreateTable("second", "name VARCHAR(10), qty INTEGER", {"'a', 1"});
    TFillTable& first = AddTable("first", tfEmptyAndFill, 5);
    SetField(first, "qty", fmRandomInteger, "1 - 3");
    TFillTable& second = AddTable("second", tfEmptyAndFill, 5);
    SetField(second, "qty", fmRandomInteger, "1 - x");
    engine.BindTable(first);
    reporter.calls.clear();

    try {
        engine.FillUp();
        FAIL() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "Wrong fill value. Table: \"second\". Field: \"qty\"");
    }
    EXPECT_EQ(reporter.calls,
              (std::vector<std::string>{"check:first", "completed", "check:second", "stopped"}));
    EXPECT_EQ(engine.CurrentTable(), &first);
    EXPECT_EQ(engine.WorkTable().TableName(), "first");
    EXPECT_TRUE(engine.WorkTable().Active());
    EXPECT_EQ(Column("first", "qty", "qty"), (std::vector<std::string>{"7"}));
    EXPECT_EQ(Count("second"), 1);
}

// A setting whose column is gone has no place for its values: the check refuses it, naming the
// table and the setting, unless it writes nothing.
TEST_P(CheckTest, ASettingWhoseColumnIsGoneFailsTheCheckWhenItWritesValues) {
    CreateTable("t", "a INTEGER, b INTEGER");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 1);
    table.AddField("gone");
    for (std::int32_t method :
         {fmSingleValue, fmRandomFromSet, fmAutoIncrement, fmMasterTable, fmDateRange}) {
        SetField(table, "gone", method, "1");
        try {
            engine.CheckAllValues();
            ADD_FAILURE() << method << ": no error";
        } catch (const Exception& error) {
            EXPECT_STREQ(error.what(), "No column for fill value. Table: \"t\". Field: \"gone\"");
        }
    }
    for (std::int32_t method : {fmDontFill, 1000}) {
        SetField(table, "gone", method, "1");
        EXPECT_NO_THROW(engine.CheckAllValues()) << method;
    }
}

// Where two names differ from a third only in letter case, binding could fill the wrong column:
// the check refuses, naming both, before the table is emptied.
TEST_P(CheckTest, ABindingThatLetterCaseLeavesTwoWaysFailsTheCheck) {
    CreateTable("t", "\"Name\" VARCHAR(10)", {"'old'"});
    TFillTable& table = scenario.Tables().Items(scenario.AddTable("t"));
    table.AddField("name");
    table.AddField("NAME");
    SetField(table, "name", fmSingleValue, "x");
    SetField(table, "NAME", fmSingleValue, "y");
    try {
        engine.FillUp();
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(),
                     "Two fill values for one column. Table: \"t\". Field: \"Name\". "
                     "Fill values: \"name\", \"NAME\"");
    }
    EXPECT_EQ(Column("t", "Name", "Name"), (std::vector<std::string>{"old"}));

    if (GetParam() != TestEngine::PostgreSQL) {
        return;  // the other engines refuse two column names that differ only in letter case
    }
    engine.CloseWorkTable();
    scenario.Tables().Clear();
    CreateTable("u", "\"Ab\" INTEGER, \"aB\" INTEGER", {"1, 2"});
    TFillTable& u = scenario.Tables().Items(scenario.AddTable("u"));
    u.AddField("ab");
    SetField(u, "ab", fmSingleValue, "5");
    try {
        engine.CheckAllValues();
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(),
                     "Two columns for one fill value. Table: \"u\". Field: \"ab\". "
                     "Columns: \"Ab\", \"aB\"");
    }
}

// A scenario file cut short after a table's FieldMethod line used to empty the table and fill it
// with records whose every column was left unfilled. The window writes a Fields line for every
// table, empty for one never shown, and such a table still fills.
TEST_P(CheckTest, ATableReadWithoutItsFieldsLineFailsTheCheckAndIsNotEmptied) {
    CreateTable("t", "n INTEGER", {"7"});
    CreateTable("u", "n INTEGER");
    scenario.LoadFromText("[Main]\nAliasName=" + db.Alias() +
                          "\nTables=u,t\n[Table u]\nRecCount=2\nFields=\n"
                          "[Table t]\nFieldMethod=0\n");
    TFillTable& t = scenario.Tables().Items(1);
    try {
        engine.FillUp();
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(),
                     "Table \"t\" has no column settings: its scenario file has no Fields line "
                     "for it and may be damaged");
    }
    EXPECT_EQ(Column("t", "n", "n"), (std::vector<std::string>{"7"}));
    EXPECT_EQ(Count("u"), 0);

    // Settings chosen for it since (in the window) are the user's: the table fills.
    SetField(t, "n", fmSingleValue, "5");
    engine.FillUp();
    EXPECT_EQ(Column("t", "n", "n"), std::vector<std::string>(100, "5"));
    EXPECT_EQ(Count("u"), 2);
}

TEST_P(CheckTest, ValidValuesLeaveTheBindingAsItWas) {
    CreateTable("a", "x INTEGER");
    CreateTable("b", "y INTEGER, z INTEGER");
    TFillTable& a = AddTable("a", tfEmptyAndFill, 1);
    TFillTable& b = scenario.Tables().Items(scenario.AddTable("b"));
    engine.BindTable(a);
    engine.CheckAllValues();
    EXPECT_EQ(engine.CurrentTable(), &a);
    EXPECT_EQ(engine.WorkTable().TableName(), "a");
    // The check binds every table, and binding adds the settings of its columns.
    EXPECT_EQ(b.Fields().Count(), 2);
}

TEST_P(CheckTest, AScenarioWithoutTablesChecksAndFillsNothing) {
    engine.FillUp();
    EXPECT_TRUE(reporter.calls.empty());
    EXPECT_EQ(engine.CurrentTable(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Engines, CheckTest, ::testing::ValuesIn(TestEngines()), EngineParamName);

}  // namespace
}  // namespace rowsmith::test
