#include "model/comma_items.h"

#include <gtest/gtest.h>

#include <random>

namespace rowsmith {
namespace {

using Items = std::vector<std::string>;

TEST(CommaItemsTest, ValueSetUnderstandsQuotes) {
    static const struct {
        const char* text;
        Items items;
    } cases[] = {{"", {}},
                 {",", {""}},
                 {"red,green,,blue,", {"red", "green", "", "blue"}},
                 {" a , b", {" a ", " b"}},
                 {"\"New York\",Paris,\"a \"\"b\"\"\"", {"New York", "Paris", "a \"b\""}},
                 {"\"\"", {""}},
                 {"\"\",\"\"", {"", ""}},
                 {"\"a,b\",", {"a,b"}},
                 {"x\"y,z", {"x\"y", "z"}},
                 {"\"open,b", {"\"open", "b"}},
                 {"\"a\"b,c", {"\"a\"b", "c"}},
                 {"\"a\" ,c", {"\"a\" ", "c"}}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.items, SplitValueSet(c.text)) << c.text;
    }
}

TEST(CommaItemsTest, JoinQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ("", JoinValueSet({}));
    EXPECT_EQ("\"\"", JoinValueSet({""}));
    EXPECT_EQ("red,\"New York\",\"a,b\",\"say \"\"hi\"\"\",x,\"\"",
              JoinValueSet({"red", "New York", "a,b", "say \"hi\"", "x", ""}));
    EXPECT_EQ("\"tab\there\"", JoinValueSet({"tab\there"}));
}

// Whatever the editor hands over comes back item for item.
TEST(CommaItemsTest, JoinThenSplitGivesTheItemsBack) {
    std::mt19937 random(7);
    const std::string alphabet = "ab \",\t\n";
    for (int round = 0; round < 2000; ++round) {
        Items items(random() % 5);
        for (std::string& item : items) {
            item.resize(random() % 6);
            for (char& c : item) {
                c = random() % 8 == 0 ? static_cast<char>(random())
                                      : alphabet[random() % alphabet.size()];
            }
        }
        ASSERT_EQ(items, SplitValueSet(JoinValueSet(items))) << JoinValueSet(items);
    }
}

}  // namespace
}  // namespace rowsmith
