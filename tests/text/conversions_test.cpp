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
};

template <typename Call>
std::string ConvertError(Call call) {
    try {
        call();
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "no error";
}

TEST_F(ConversionsTest, IntegerForms) {
    const std::int32_t min = INT32_MIN;
    const std::int32_t max = INT32_MAX;
    const std::pair<const char*, std::int32_t> accepted[] = {
        {"12", 12},        {" 12", 12},        {"+12", 12},         {"-12", -12},
        {"$1F", 31},       {"$ff", 255},       {"  -0", 0},         {"$000000001", 1},
        {"$FFFFFFFF", -1}, {"$80000000", min}, {"2147483647", max}, {"-2147483648", min}};
    for (const auto& [text, value] : accepted) {
        EXPECT_TRUE(IsInteger(text)) << text;
        EXPECT_EQ(value, StrToInt(text)) << text;
    }
    for (const char* text : {"", "12 ", "1.0", "1e3", "-", "$", "- 5", "2147483648", "-2147483649",
                             "$100000000", "\t12", "-$1", "+-1", "0x1F", "99999999999999999999"}) {
        std::int32_t value = 0;
        EXPECT_FALSE(TryStrToInt(text, value)) << text;
        EXPECT_FALSE(IsInteger(text)) << text;
    }
    EXPECT_EQ("'12x' is not a valid integer value", ConvertError([] { StrToInt("12x"); }));
}

TEST_F(ConversionsTest, FloatForms) {
    const std::pair<const char*, long double> accepted[] = {
        {"1.5", 1.5L},    {" 2.5 ", 2.5L},    {"-3", -3.0L},    {".5", 0.5L},      {"5.", 5.0L},
        {"1e3", 1000.0L}, {"1.5E-2", 0.015L}, {"+.5e+1", 5.0L}, {"1e-99999", 0.0L}};
    for (const auto& [text, value] : accepted) {
        EXPECT_TRUE(IsFloat(text)) << text;
        EXPECT_EQ(value, StrToFloat(text)) << text;
    }
    for (const char* text : {"", "1,5", "2.5x", "1.2.3", "1\t", ".", "e5", "1e", "1e+", "  ",
                             "1e99999", "inf", "nan", "0x10", "1 5"}) {
        long double value = 0;
        EXPECT_FALSE(TryStrToFloat(text, value)) << text;
        EXPECT_FALSE(IsFloat(text)) << text;
    }
    EXPECT_EQ("'' is not a valid floating point value", ConvertError([] { StrToFloat(""); }));
}

// Short decimals take a quicker road than the C library's; the value must be the same.
TEST_F(ConversionsTest, StrToFloatAgreesWithTheLibrary) {
    std::mt19937_64 random(5);
    for (int round = 0; round < 20000; ++round) {
        std::string text = random() % 4 == 0 ? "-" : "";
        const int digits = 1 + static_cast<int>(random() % 20);
        const int point = static_cast<int>(random() % (digits + 2));
        for (int i = 0; i < digits; ++i) {
            text += i == point ? "." : "";
            text += static_cast<char>('0' + random() % 10);
        }
        if (random() % 3 == 0) {
            text += "e" + std::to_string(static_cast<int>(random() % 60) - 30);
        }
        // The test program never changes the C library's locale from "C".
        const long double expected = std::strtold(text.c_str(), nullptr);
        const long double value = StrToFloat(text);
        ASSERT_TRUE(expected == value && std::signbit(expected) == std::signbit(value)) << text;
    }
}

TEST_F(ConversionsTest, CommaSeparatorReadsAndWritesCommas) {
    SetDecimalSeparator(',');
    EXPECT_EQ(1.5L, StrToFloat(" 1,5 "));
    EXPECT_FALSE(IsFloat("1.5"));
    EXPECT_EQ("3,1416", FormatFixed(3.14159265L, 4));
    EXPECT_EQ("-2,50", FormatFixed(-2.5L, 2));
    EXPECT_EQ("7", FormatFixed(7.0L, 0));
    EXPECT_EQ(4933u + 5u, FormatFixed(LDBL_MAX, 4).size());
    // The general format of the range messages: whole numbers in full, the separator for fractions.
    EXPECT_EQ("-2147483648", FormatGeneral(-2147483648.0L));
    EXPECT_EQ("4294967295", FormatGeneral(4294967295.0L));
    EXPECT_EQ("2,2", FormatGeneral(2.2L));
    EXPECT_EQ("1e+20", FormatGeneral(1e20L));
    // Found by the number fuzzer: values the reader takes beyond a double's range were written
    // as "inf" and "0", which do not read back.
    EXPECT_EQ("1,18973149535723e+4932", FormatGeneral(LDBL_MAX));
    EXPECT_EQ("-1e+400", FormatGeneral(StrToFloat("-1E400")));
    EXPECT_EQ("2,5e-4000", FormatGeneral(StrToFloat("2,5e-4000")));
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
    EXPECT_EQ("0.12", FormatFixed(0.125L, 2));
    EXPECT_EQ("100000000000000000000.00", FormatFixed(1e20L, 2));
}

TEST_F(ConversionsTest, IntToStrAndLocale) {
    EXPECT_EQ("-9223372036854775808", IntToStr(INT64_MIN));
    EXPECT_EQ("0", IntToStr(0));
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
