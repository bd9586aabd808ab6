#include "model/fill_methods.h"
#include "model/fill_scenario.h"

#include <gtest/gtest.h>

#include "text/errors.h"

namespace rowsmith {
namespace {

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
}

TEST(ScenarioTest, ClearingDestroysTablesWithTheirFields) {
    TFillScenario scenario;
    for (const char* name : {"A", "B", "C"}) {
        scenario.Tables().Items(scenario.AddTable(name)).AddField("Id");
    }
    scenario.Tables().Clear();
    EXPECT_EQ(0, scenario.Tables().Count());
    EXPECT_EQ(0, scenario.AddTable("D"));
}

}  // namespace
}  // namespace rowsmith
