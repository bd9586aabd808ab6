#include "text/conversions.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <random>

#include "text/errors.h"
#include "text/text_helpers.h"

namespace rowsmith {
namespace {

// Every test starts from the point, whatever an earlier one set.
class ConversionsTest : public ::testing::Test {
protected:
    void SetUp() override { SetDecimalSeparator('.'); }
    void TearDown() override { SetDecimalSeparator('.'); }

    template <typename Call>
    static std::string ConvertError(Call call) {
        try {
            call();
        } catch (const EConvertError& e) {
            return e.what();
        }
        return "no error";
    }
};

TEST_F(ConversionsTest, IntegerForms) {
    static const struct {
        const char* text;
        bool valid;
        std::int32_t value;
    } cases[] = {
        {"12", true, 12},
        {" 12", true, 12},
        {"+12", true, 12},
        {"-12", true, -12},
        {"$1F", true, 31},
        {"$ff", true, 255},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"$FFFFFFFF", true, -1},
        {"$80000000", true, -2147483647 - 1},
        {"$000000001", true, 1},
        {"  -0", true, 0},
        {"", false, 0},
        {"12 ", false, 0},
        {"1.0", false, 0},
        {"1e3", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"- 5", false, 0},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"$100000000", false, 0},
        {"\t12", false, 0},
        {"-$1", false, 0},
        {"+-1", false, 0},
        {"0x1F", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.valid, IsInteger(c.text));
        std::int32_t value = 0;
        ASSERT_EQ(c.valid, TryStrToInt(c.text, value));
        if (c.valid) {
            EXPECT_EQ(c.value, value);
            EXPECT_EQ(c.value, StrToInt(c.text));
        }
    }
}

TEST_F(ConversionsTest, FloatForms) {
    static const struct {
        const char* text;
        bool valid;
        long double value;
    } cases[] = {
        {"1.5", true, 1.5L},      {" 2.5 ", true, 2.5L},  {"-3", true, -3.0L},
        {".5", true, 0.5L},       {"5.", true, 5.0L},     {"1e3", true, 1000.0L},
        {"1.5E-2", true, 0.015L}, {"+.5e+1", true, 5.0L}, {"1e-99999", true, 0.0L},
        {"", false, 0},           {"1,5", false, 0},      {"2.5x", false, 0},
        {"1.2.3", false, 0},      {"1\t", false, 0},      {".", false, 0},
        {"e5", false, 0},         {"1e", false, 0},       {"1e+", false, 0},
        {"  ", false, 0},         {"1e99999", false, 0},  {"inf", false, 0},
        {"nan", false, 0},        {"0x10", false, 0},     {"1 5", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.valid, IsFloat(c.text));
        long double value = 0;
        ASSERT_EQ(c.valid, TryStrToFloat(c.text, value));
        if (c.valid) {
            EXPECT_EQ(c.value, value);
        }
    }
}

TEST_F(ConversionsTest, RejectedTextsNameThemselves) {
    EXPECT_EQ("'12x' is not a valid integer value", ConvertError([] { StrToInt("12x"); }));
    EXPECT_EQ("'' is not a valid floating point value", ConvertError([] { StrToFloat(""); }));
}

TEST_F(ConversionsTest, CommaSeparatorReadsAndWritesCommas) {
    SetDecimalSeparator(',');
    EXPECT_EQ(1.5L, StrToFloat(" 1,5 "));
    EXPECT_FALSE(IsFloat("1.5"));
    EXPECT_EQ("3,1416", FormatFixed(3.14159265L, 4));
    EXPECT_EQ("-2,50", FormatFixed(-2.5L, 2));
    EXPECT_EQ("7", FormatFixed(7.0L, 0));
}

TEST_F(ConversionsTest, FormatFixed) {
    EXPECT_EQ("1.5000", FormatFixed(1.5L, 4));
    EXPECT_EQ("0.12", FormatFixed(0.125L, 2));  // an exact tie rounds to even, as printf does
    EXPECT_EQ("100000000000000000000.00", FormatFixed(1e20L, 2));
    EXPECT_EQ(301u + 3u, FormatFixed(1e300L, 2).size());
    EXPECT_EQ(4933u + 5u, FormatFixed(LDBL_MAX, 4).size());
}

// The hand-made common case must write the same digits as the library's general formatting.
TEST_F(ConversionsTest, FormatFixedAgreesWithTheLibrary) {
    std::mt19937_64 random(99);
    for (int round = 0; round < 20000; ++round) {
        const int decimals = static_cast<int>(random() % 20);
        const long double scale = std::pow(10.0L, static_cast<int>(random() % 30) - 12);
        long double value = static_cast<long double>(static_cast<std::int64_t>(random())) /
                            static_cast<long double>(INT64_MAX) * scale;
        if (round % 4 == 0) {
            // Exact ties: a whole number of halves of the last place.
            value = std::ldexp(static_cast<long double>(random() % 4096),
                               -static_cast<int>(random() % 12));
        }
        char expected[6000];
        const auto end = std::to_chars(expected, expected + sizeof expected, value,
                                       std::chars_format::fixed, decimals)
                             .ptr;
        ASSERT_EQ(std::string(expected, end), FormatFixed(value, decimals))
            << static_cast<double>(value) << " " << decimals;
    }
    EXPECT_EQ("-0.00", FormatFixed(-0.001L, 2));
    EXPECT_EQ("2", FormatFixed(2.5L, 0));
    EXPECT_EQ("4", FormatFixed(3.5L, 0));
}

TEST_F(ConversionsTest, IntToStr) {
    EXPECT_EQ("0", IntToStr(0));
    EXPECT_EQ("-5", IntToStr(-5));
    EXPECT_EQ("-9223372036854775808", IntToStr(INT64_MIN));
}

TEST_F(ConversionsTest, LocaleWithoutCommaGivesPoint) {
    for (const char* locale : {"C", "xx_NOWHERE.UTF-8"}) {
        SetDecimalSeparator(',');
        setenv("LC_ALL", locale, 1);
        InitDecimalSeparatorFromLocale();
        EXPECT_EQ('.', DecimalSeparator()) << locale;
    }
    unsetenv("LC_ALL");
}

}  // namespace
}  // namespace rowsmith
