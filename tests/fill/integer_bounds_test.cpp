// Integer ranges with negative bounds, and on 64-bit columns bounds past the 32-bit range; the
// ranges the program took before keep their form and their draws (generators_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/database_errors.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"

namespace rowsmith::test {
namespace {

class IntegerBoundsTest : public FillTest {
protected:
    void SetUp() override {
        CreateTable("b", "id " + db.AutoIncKeyType() + ", n INTEGER, w BIGINT");
    }

    static std::vector<long long> Numbers(const std::vector<std::string>& texts) {
        std::vector<long long> numbers;
        for (const std::string& text : texts) {
            numbers.push_back(std::stoll(text));
        }
        return numbers;
    }
};

TEST_P(IntegerBoundsTest, TheCheckTakesSignsAndWideBoundsWhereTheColumnDoes) {
    static const struct {
        const char* range;
        bool onInteger;
        bool onBigint;
    } cases[] = {
        {"1 - 10", true, true},
        {"1-10", true, true},
        {"-5 - 5", true, true},
        {"-5-5", true, true},
        {"-20 - -10", true, true},
        {"  -3 - 4  ", true, true},
        {"-2147483648 - 2147483647", true, true},
        {"1 - 9000000000", false, true},
        {"-9223372036854775808 - 9223372036854775807", false, true},
        {"1 - 9223372036854775808", false, false},
        {"1 --5", false, false},
        {"- 5 - 5", false, false},
        {"5 -", false, false},
        {"-", false, false},
        {"1 - 2 - 3", false, false},
        {"1,5 - 3", false, false},
    };
    TFillTable& table = AddTable("b", tfEmptyAndFill, 1);
    SetField(table, "n", fmRandomInteger, "");
    SetField(table, "w", fmRandomInteger, "");
    for (const auto& c : cases) {
        EXPECT_EQ(engine.CheckFillValue(1, c.range), c.onInteger) << c.range;
        EXPECT_EQ(engine.CheckFillValue(2, c.range), c.onBigint) << c.range;
    }
}

TEST_P(IntegerBoundsTest, NegativeAndWideRangesFillInsideTheirBounds) {
    TFillTable& table = AddTable("b", tfEmptyAndFill, 300);
    SetField(table, "n", fmRandomInteger, "-5 - 5");
    SetField(table, "w", fmRandomInteger, "1 - 9000000000");
    engine.FillUp();
    const std::vector<long long> narrow = Numbers(Column("b", "n"));
    EXPECT_EQ(*std::min_element(narrow.begin(), narrow.end()), -5);
    EXPECT_EQ(*std::max_element(narrow.begin(), narrow.end()), 4);
    const std::vector<long long> wide = Numbers(Column("b", "w"));
    EXPECT_GE(*std::min_element(wide.begin(), wide.end()), 1);
    EXPECT_LT(*std::max_element(wide.begin(), wide.end()), 9000000000);
    EXPECT_GT(*std::max_element(wide.begin(), wide.end()), 4294967296);
}

TEST_P(IntegerBoundsTest, A32BitColumnStillRefusesWideBoundsWhenFilled) {
    TFillTable& table = AddTable("b", tfEmptyAndFill, 3);
    SetField(table, "n", fmRandomInteger, "1 - 9000000000");
    try {
        engine.FillUp();
        ADD_FAILURE() << "no error";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "Wrong fill value. Table: \"b\". Field: \"n\"");
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, IntegerBoundsTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
