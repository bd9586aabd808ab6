#include "model/reference_order.h"

#include <gtest/gtest.h>

namespace rowsmith {
namespace {

using Names = std::vector<std::string>;
using References = std::vector<TableReference>;

Names Broken(const ReferenceOrder& order) {
    Names names;
    for (const TableReference& reference : order.broken) {
        names.push_back(reference.child + ">" + reference.parent);
    }
    return names;
}

TEST(ReferenceOrderTest, ParentsComeBeforeTheirChildren) {
    static const struct {
        const char* what;
        Names tables;
        References references;
        Names ordered;
    } cases[] = {
        {"chain given backwards",
         {"items", "orders", "customers"},
         {{"items", "orders"}, {"orders", "customers"}},
         {"customers", "orders", "items"}},
        {"diamond",
         {"lines", "left", "right", "root"},
         {{"lines", "left"}, {"lines", "right"}, {"left", "root"}, {"right", "root"}},
         {"root", "left", "right", "lines"}},
        {"letter case does not matter",
         {"Items", "ORDERS"},
         {{"items", "orders"}},
         {"ORDERS", "Items"}},
        {"references to tables not given are left out",
         {"items", "orders"},
         {{"items", "parts"}, {"suppliers", "orders"}},
         {"items", "orders"}},
        {"a parent given twice comes first both times",
         {"items", "orders", "orders"},
         {{"items", "orders"}},
         {"orders", "orders", "items"}},
    };
    for (const auto& c : cases) {
        const ReferenceOrder order = OrderByReferences(c.tables, c.references);
        EXPECT_EQ(c.ordered, order.tables) << c.what;
        EXPECT_TRUE(order.broken.empty()) << c.what;
    }
}

TEST(ReferenceOrderTest, TablesNoReferenceMovesKeepTheirGivenOrder) {
    static const struct {
        const char* what;
        Names tables;
        References references;
        Names ordered;
    } cases[] = {
        {"no references", {"b", "c", "a"}, {}, {"b", "c", "a"}},
        {"already in order",
         {"customers", "notes", "orders", "items"},
         {{"items", "orders"}, {"orders", "customers"}},
         {"customers", "notes", "orders", "items"}},
        {"an unrelated table keeps its place among the others",
         {"x", "items", "y", "orders", "z"},
         {{"items", "orders"}},
         {"x", "y", "orders", "items", "z"}},
        {"two independent chains keep their relative order",
         {"b2", "a2", "b1", "a1"},
         {{"a2", "a1"}, {"b2", "b1"}},
         {"b1", "b2", "a1", "a2"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.ordered, OrderByReferences(c.tables, c.references).tables) << c.what;
    }
}

TEST(ReferenceOrderTest, SelfReferenceIsBrokenWithoutMovingTheTable) {
    const ReferenceOrder order =
        OrderByReferences({"employees", "departments"},
                          {{"employees", "Employees", true}, {"employees", "departments"}});
    EXPECT_EQ((Names{"departments", "employees"}), order.tables);
    EXPECT_EQ((Names{"employees>Employees"}), Broken(order));

    const ReferenceOrder alone =
        OrderByReferences({"a", "employees"}, {{"employees", "employees"}});
    EXPECT_EQ((Names{"a", "employees"}), alone.tables);
    EXPECT_EQ((Names{"employees>employees"}), Broken(alone));

    const ReferenceOrder absent = OrderByReferences({"a"}, {{"employees", "employees"}});
    EXPECT_TRUE(absent.broken.empty());
}

TEST(ReferenceOrderTest, CircleIsBrokenAtANullableReference) {
    // people -> teams is the only nullable one, so people is filled first with its team empty.
    const ReferenceOrder order =
        OrderByReferences({"teams", "people", "offices"},
                          {{"teams", "offices"}, {"offices", "people"}, {"people", "teams", true}});
    EXPECT_EQ((Names{"people", "offices", "teams"}), order.tables);
    EXPECT_EQ((Names{"people>teams"}), Broken(order));
    ASSERT_EQ(1u, order.broken.size());
    EXPECT_TRUE(order.broken[0].nullable);
}

TEST(ReferenceOrderTest, CircleWithoutANullableReferenceIsStillBroken) {
    const ReferenceOrder order =
        OrderByReferences({"start", "b", "a"}, {{"a", "b"}, {"b", "a"}, {"start", "a"}});
    // Broken at the reference of b, the circle's table given first.
    EXPECT_EQ((Names{"b>a"}), Broken(order));
    EXPECT_EQ((Names{"b", "a", "start"}), order.tables);
}

TEST(ReferenceOrderTest, EveryCircleIsBrokenOnceAndEveryTableIsPlaced) {
    const ReferenceOrder order = OrderByReferences(
        {"a", "b", "c", "d", "e"},
        {{"a", "b"}, {"b", "a"}, {"c", "d"}, {"d", "c", true}, {"e", "a"}, {"e", "c"}});
    EXPECT_EQ((Names{"a>b", "d>c"}), Broken(order));
    EXPECT_EQ((Names{"a", "b", "d", "c", "e"}), order.tables);
}

TEST(ReferenceOrderTest, TwoReferencesBetweenTheSameTablesAreBothFollowed) {
    // A nullable and a required reference from one child to one parent: breaking the nullable
    // one still leaves the circle, so a second reference is broken.
    const ReferenceOrder order =
        OrderByReferences({"a", "b"}, {{"a", "b", true}, {"a", "b"}, {"b", "a"}});
    EXPECT_EQ(2u, order.broken.size());
    EXPECT_EQ(2u, order.tables.size());
    EXPECT_TRUE(order.broken[0].nullable);
}

}  // namespace
}  // namespace rowsmith
