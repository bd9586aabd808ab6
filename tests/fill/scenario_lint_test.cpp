// The warnings before a fill: each kind on a scenario that trips it and on one that does not,
// both read from the tables' constraints and columns on each engine.
#include <gtest/gtest.h>

#include "fill/scenario_lint.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"

namespace rowsmith::test {
namespace {

struct FieldSetup {
    std::string column;
    std::int32_t method;
    std::string value;
    bool unique = false;
};

struct TableSetup {
    std::string name;
    std::int32_t method;
    std::int32_t records;
    std::vector<FieldSetup> fields;
};

struct LintCase {
    const char* label;
    std::vector<TableSetup> tables;
    // "table.column", in the order the warnings come.
    std::vector<std::string> warned;
    // A word of the first warning's reason.
    std::string word;
};

// The tables of every case: keys the database numbers, and the columns the cases set.
const char* const kSchema[] = {
    "p (id %KEY%, code INTEGER UNIQUE, big BIGINT UNIQUE, tag VARCHAR(20) UNIQUE)",
    "c (id %KEY%, p_id INTEGER REFERENCES p (id), must INTEGER NOT NULL, "
    "maybe INTEGER NOT NULL DEFAULT 0, short VARCHAR(4), small SMALLINT, day DATE, m INTEGER, "
    "price DECIMAL(8,2))",
    "empty (x INTEGER)",
};

class ScenarioLintTest : public FillTest {
protected:
    std::vector<LintWarning> Lint(const LintCase& c) {
        RecordingReporter quiet;
        OwnFill fresh(GetParam(), quiet);
        for (std::string table : kSchema) {
            if (const auto key = table.find("%KEY%"); key != std::string::npos) {
                table.replace(key, 5, fresh.db.AutoIncKeyType());
            }
            fresh.db.Execute("CREATE TABLE " + table);
        }
        fresh.db.Execute("INSERT INTO c (must) VALUES (1), (2)");
        for (const TableSetup& setup : c.tables) {
            TFillTable& table = fresh.AddTable(setup.name, setup.method, setup.records);
            for (const FieldSetup& field : setup.fields) {
                SetField(table, field.column, field.method, field.value);
                table.Fields().Items(table.FindField(field.column)).SetUnique(field.unique);
            }
        }
        return LintScenario(fresh.scenario);
    }
};

// The child's settings that trip nothing: a value for the NOT NULL column, the parent's keys for
// the foreign key.
std::vector<FieldSetup> Child(std::vector<FieldSetup> more) {
    std::vector<FieldSetup> fields = {{"must", fmSingleValue, "1"},
                                      {"p_id", fmMasterTable, "p.id"}};
    fields.insert(fields.end(), more.begin(), more.end());
    return fields;
}

const TableSetup kParent{"p", tfEmptyAndFill, 5, {{"code", fmAutoIncrement, ""}}};

TEST_P(ScenarioLintTest, EachWarningKindAndItsQuietTwin) {
    const LintCase cases[] = {
        {"nothing to say", {kParent, {"c", tfEmptyAndFill, 5, Child({})}}, {}, ""},
        {"NOT NULL left unfilled",
         {kParent, {"c", tfEmptyAndFill, 5, {{"p_id", fmMasterTable, "p.id"}}}},
         {"c.must"},
         "NOT NULL"},
        {"NOT NULL left unfilled, no new records",
         {kParent, {"c", tfUpdateExisting, 5, {{"p_id", fmMasterTable, "p.id"}}}},
         {},
         ""},
        {"unique from a small set",
         {{"p", tfEmptyAndFill, 10, {{"code", fmRandomFromSet, "1,2,3,3"}}}},
         {"p.code"},
         "3 distinct values for 10 records"},
        {"unique from one value",
         {{"p", tfEmptyAndFill, 2, {{"code", fmSingleValue, "7"}}}},
         {"p.code"},
         "fed 1 distinct value for 2 records"},
        {"unique from a range, clash likely",
         {{"p", tfEmptyAndFill, 50, {{"code", fmRandomInteger, "1 - 1000"}}}},
         {"p.code"},
         "71% likely; set Unique to avoid clashes"},
        {"unique setting on a range that gives enough",
         {{"p", tfEmptyAndFill, 50, {{"code", fmRandomInteger, "1 - 1000", true}}}},
         {},
         ""},
        {"unique setting on a range that gives too few",
         {{"p", tfEmptyAndFill, 50, {{"code", fmRandomInteger, "1 - 41", true}}}},
         {"p.code"},
         "40 distinct values for 50 records: the fill will refuse it"},
        {"an integer range counted as drawn",
         {{"p", tfEmptyAndFill, 10, {{"code", fmRandomInteger, "1 - 10"}}}},
         {"p.code"},
         "9 distinct values for 10 records"},
        {"random strings, short ones meet",
         {{"p", tfEmptyAndFill, 10000, {{"tag", fmRandomString, "8"}}}},
         {"p.tag"},
         "99% likely"},
        {"random strings that do not meet",
         {{"p", tfEmptyAndFill, 3, {{"tag", fmRandomString, "8"}}}},
         {},
         ""},
        {"a 64-bit column's own range",
         {{"p", tfEmptyAndFill, 5, {{"big", fmRandomInteger, "1 - 9000000000"}}}},
         {},
         ""},
        {"past a 32-bit column's range",
         {{"p", tfEmptyAndFill, 5, {{"code", fmRandomInteger, "1 - 9000000000"}}}},
         {"p.code"},
         "-2147483648 to 2147483647"},
        {"unique from a wide range",
         {{"p", tfEmptyAndFill, 50, {{"code", fmRandomInteger, "1 - 100000000"}}}},
         {},
         ""},
        {"a range on a decimal column, which it leaves empty",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"price", fmRandomReal, "1 - 99"}})}},
         {"c.price"},
         "writes nothing to a column of type BCD"},
        {"a range on a text column",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"short", fmRandomInteger, "1 - 99"}})}},
         {"c.short"},
         "every record gets NULL"},
        {"a real range on an integer column",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"m", fmRandomReal, "1 - 99"}})}},
         {},
         ""},
        {"foreign key not from its parent",
         {kParent,
          {"c",
           tfEmptyAndFill,
           5,
           {{"must", fmSingleValue, "1"}, {"p_id", fmRandomInteger, "1 - 5"}}}},
         {"c.p_id"},
         "not filled from it"},
        {"child before parent",
         {{"c", tfEmptyAndFill, 5, Child({})}, kParent},
         // The parent is empty too, so its keys cannot feed the child either.
         {"c.p_id", "c.p_id"},
         "filled later"},
        {"child before parent, its reference left alone",
         {{"c", tfEmptyAndFill, 5, {{"must", fmSingleValue, "1"}}}, kParent},
         {"c.p_id"},
         "refers to 'p', which is filled later: fill 'p' before 'c', or use Order by References"},
        {"foreign key from random rows of its parent",
         {kParent,
          {"c",
           tfEmptyAndFill,
           5,
           {{"must", fmSingleValue, "1"}, {"p_id", fmMasterRandom, "p.id"}}}},
         {},
         ""},
        {"random rows of a missing master table",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"m", fmMasterRandom, "nope.x"}})}},
         {"c.m"},
         "does not exist"},
        {"random rows of a missing master column",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"m", fmMasterRandom, "empty.y"}})}},
         {"c.m"},
         "no column 'y'"},
        {"random rows of an empty master filled later",
         {kParent,
          {"c", tfEmptyAndFill, 5, Child({{"m", fmMasterRandom, "empty.x"}})},
          {"empty", tfEmptyAndFill, 3, {{"x", fmAutoIncrement, ""}}}},
         {"c.m"},
         "filled later"},
        {"master table missing",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"m", fmMasterTable, "nope.x"}})}},
         {"c.m"},
         "does not exist"},
        {"master column missing",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"m", fmMasterTable, "empty.y"}})}},
         {"c.m"},
         "no column 'y'"},
        {"empty master filled later",
         {kParent,
          {"c", tfEmptyAndFill, 5, Child({{"m", fmMasterTable, "empty.x"}})},
          {"empty", tfEmptyAndFill, 3, {{"x", fmAutoIncrement, ""}}}},
         {"c.m"},
         "filled later"},
        {"empty master filled first",
         {kParent,
          {"empty", tfEmptyAndFill, 3, {{"x", fmAutoIncrement, ""}}},
          {"c", tfEmptyAndFill, 5, Child({{"m", fmMasterTable, "empty.x"}})}},
         {},
         ""},
        {"random string too long",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"short", fmRandomString, "10"}})}},
         {"c.short"},
         "cut"},
        {"random string that fits",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"short", fmRandomString, "4"}})}},
         {},
         ""},
        {"range beyond the type",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"small", fmRandomInteger, "0 - 40000"}})}},
         {"c.small"},
         "-32768 to 32767"},
        {"range within the type",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"small", fmRandomInteger, "-5 - 40"}})}},
         {},
         ""},
        {"date given numbers",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"day", fmRandomInteger, "1 - 9"}})}},
         {"c.day"},
         "date or time"},
        {"date given dates",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"day", fmRandomFromSet, "2024-01-02"}})}},
         {},
         ""},
        {"a range the check refuses",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"m", fmRandomInteger, "1 - many"}})}},
         {"c.m"},
         "fill value '1 - many' is wrong: the check will refuse it"},
        {"a text for a number",
         {kParent, {"c", tfEmptyAndFill, 5, Child({{"m", fmSingleValue, "seven"}})}},
         {"c.m"},
         "the check will refuse it"},
    };
    for (const LintCase& c : cases) {
        const std::vector<LintWarning> warnings = Lint(c);
        std::vector<std::string> warned;
        for (const LintWarning& warning : warnings) {
            warned.push_back(warning.table + "." + warning.column);
        }
        EXPECT_EQ(warned, c.warned) << c.label;
        if (!warnings.empty()) {
            EXPECT_NE(warnings.front().reason.find(c.word), std::string::npos)
                << c.label << ": " << warnings.front().reason;
        }
    }
}

// A setting named like its column in another letter case is the one the fill binds to it.
TEST_P(ScenarioLintTest, ASettingNamedInAnotherLetterCaseServesItsColumn) {
    CreateTable("n", "\"Must\" INTEGER NOT NULL");
    TFillTable& table = scenario.Tables().Items(scenario.AddTable("n"));
    table.AddField("must");
    SetField(table, "must", fmSingleValue, "1");
    EXPECT_TRUE(LintScenario(scenario).empty());
}

INSTANTIATE_TEST_SUITE_P(Engines, ScenarioLintTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
