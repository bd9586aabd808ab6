#include "model/fill_field.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "model/fill_methods.h"
#include "model/fill_scenario.h"
#include "text/errors.h"

namespace rowsmith {
namespace {

using Items = std::vector<std::string>;

TEST(FillFieldTest, NewFieldAndCounter) {
    TFillField field("Id");
    EXPECT_EQ(fmDontFill, field.FillMethod());
    EXPECT_EQ("", field.FillValue());
    EXPECT_TRUE(field.ValueSet().empty());
    EXPECT_EQ(1, field.NextCounter());
    EXPECT_EQ(2, field.NextCounter());
    EXPECT_EQ(3, field.Counter());

    field.ResetCounter();
    EXPECT_EQ(3, field.Counter());
    field.SetFillMethod(fmAutoIncrement);
    field.ResetCounter();
    EXPECT_EQ(1, field.Counter());
}

TEST(FillFieldTest, ChoosingAMethodResetsTheValueOnlyWhenItChanges) {
    TFillField field("Name");
    field.SetFillMethod(fmRandomString);
    EXPECT_EQ("10", field.FillValue());
    field.SetFillValue("25");
    field.SetFillMethod(fmRandomString);
    EXPECT_EQ("25", field.FillValue());
    field.SetFillMethod(fmDontFill);
    EXPECT_EQ("", field.FillValue());
    field.SetFillMethod(9);
    EXPECT_EQ(9, field.FillMethod());
}

TEST(FillFieldTest, ValueSetFollowsTheFillValue) {
    TFillField field("City");
    field.SetFillMethod(fmRandomFromSet);
    field.SetFillValue("red,green,,blue,");
    EXPECT_EQ("red,green,,blue,", field.FillValue());
    EXPECT_EQ(Items({"red", "green", "", "blue"}), field.ValueSet());
    field.SetFillValue("a,b");
    field.SetFillValue("x");
    EXPECT_EQ(Items({"x"}), field.ValueSet());
    field.SetFillValue("\"New York\",Oslo");
    EXPECT_EQ(Items({"New York", "Oslo"}), field.ValueSet());

    field.SetFillMethod(fmRandomInteger);
    field.SetFillValue("1-10");
    EXPECT_EQ("1-10", field.FillValue());
    field.SetFillMethod(fmRandomFromSet);
    EXPECT_EQ("", field.FillValue());
    EXPECT_TRUE(field.ValueSet().empty());
}

TEST(FillMethodsTest, TableMethodCaptions) {
    EXPECT_STREQ("Emty table and fill", kTableFillMethodCaptions[tfEmptyAndFill]);
}

TEST(ScenarioTest, NamesAreFoundExactlyAndNeverMadeUnique) {
    TFillScenario scenario;
    EXPECT_EQ(-1, scenario.FindTable("Orders"));
    EXPECT_EQ(0, scenario.AddTable("Orders"));
    EXPECT_EQ(1, scenario.AddTable("Orders"));
    EXPECT_EQ(0, scenario.FindTable("Orders"));
    EXPECT_EQ(-1, scenario.FindTable("orders"));

    TFillTable& table = scenario.Tables().Items(1);
    EXPECT_EQ(tfEmptyAndFill, table.TableFillMethod());
    EXPECT_EQ(100, table.RecCount());
    EXPECT_EQ(0, table.AddField("Id"));
    EXPECT_EQ(-1, table.FindField("ID"));
    EXPECT_EQ(0, table.FindField("Id"));
}

// A setting goes to the column of its exact name, else to the one whose name differs only in
// letter case; where case leaves two ways, the first is taken and the choice is told as
// "columns|settings:name:taken:other".
TEST(ScenarioTest, ArrangingFieldsFollowsTheColumnsAndKeepsTheRestInOrder) {
    static const struct {
        std::vector<std::string> settings;
        std::vector<std::string> columns;
        std::vector<std::string> arranged;
        int orphans;
        std::string conflict;
    } cases[] = {
        {{"a", "b", "c"}, {"a", "b", "c"}, {"a", "b", "c"}, 0, ""},
        {{"a", "b"}, {"a", "b", "c"}, {"a", "b", "c"}, 0, ""},
        {{"c", "a", "b"}, {"a", "b", "c"}, {"a", "b", "c"}, 0, ""},
        {{"a", "b", "c"}, {"b", "c"}, {"b", "c", "a"}, 1, ""},
        {{"a", "B", "b", "a", "z"}, {"b", "a"}, {"b", "a", "B", "a", "z"}, 3, ""},
        {{}, {"x", "y"}, {"x", "y"}, 0, ""},
        {{"a", "b"}, {}, {"a", "b"}, 2, ""},
        {{"a", "B"}, {"A", "b"}, {"a", "B"}, 0, ""},
        {{"id", "CODE"}, {"code", "id"}, {"CODE", "id"}, 0, ""},
        {{"a", "A"}, {"A"}, {"A", "a"}, 1, ""},
        {{"a", "A"}, {"a", "A"}, {"a", "A"}, 0, ""},
        {{"x", "a"}, {"A", "a"}, {"A", "a", "x"}, 1, ""},
        {{"name", "NAME"}, {"Name"}, {"name", "NAME"}, 1, "settings:Name:name:NAME"},
        {{"ab"}, {"Ab", "aB"}, {"ab", "aB"}, 0, "columns:ab:Ab:aB"},
    };
    for (const auto& c : cases) {
        TFillTable table("t");
        for (const std::string& name : c.settings) {
            table.AddField(name);
        }
        std::vector<const TFillField*> before;
        for (int i = 0; i < table.Fields().Count(); ++i) {
            before.push_back(&table.Fields().Items(i));
        }
        const FieldArrangement arrangement = table.ArrangeFields(c.columns);
        EXPECT_EQ(c.orphans, arrangement.orphans);
        std::string conflict;
        if (arrangement.conflict) {
            const CaseConflict& found = *arrangement.conflict;
            conflict = (found.betweenSettings ? "settings:" : "columns:") + found.name + ":" +
                       found.first + ":" + found.second;
        }
        EXPECT_EQ(c.conflict, conflict);
        std::vector<std::string> names;
        for (int i = 0; i < table.Fields().Count(); ++i) {
            names.push_back(table.Fields().Items(i).FieldName());
        }
        EXPECT_EQ(c.arranged, names);
        if (c.settings == c.arranged) {
            // Settings that follow the columns stay where they are, the same objects.
            for (std::size_t i = 0; i < before.size(); ++i) {
                EXPECT_EQ(before[i], &table.Fields().Items(static_cast<int>(i)));
            }
        }
        table.DeleteFieldsFrom(static_cast<int>(c.columns.size()));
        EXPECT_EQ(static_cast<int>(c.columns.size()), table.Fields().Count());
    }
}

TEST(ScenarioTest, PositionsOutsideTheListAreRefused) {
    TFillScenario scenario;
    scenario.AddTable("A");
    for (const int index : {-1, 1}) {
        try {
            scenario.Tables().Items(index);
            ADD_FAILURE() << index;
        } catch (const EListError& e) {
            EXPECT_EQ("List index out of bounds (" + std::to_string(index) + ")", e.what());
        }
    }
    EXPECT_EQ(1, scenario.Tables().Count());
    // A constant list hands out constant items.
    const TFillScenario& constant = scenario;
    static_assert(std::is_const_v<std::remove_reference_t<decltype(constant.Tables().Items(0))>>);
    EXPECT_EQ("A", constant.Tables().Items(0).TableName());
}

}  // namespace
}  // namespace rowsmith
