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

TEST_F(ConversionsTest, Integer64Forms) {
    const std::pair<const char*, std::int64_t> accepted[] = {
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {" +12", 12},
        {"$FFFFFFFF", 4294967295},
        {"$ffffffffffffffff", -1},
        {"$8000000000000000", INT64_MIN},
        {"$00000000000000001", 1},
    };
    for (const auto& [text, value] : accepted) {
        std::int64_t read = 0;
        EXPECT_TRUE(TryStrToInt64(text, read)) << text;
        EXPECT_EQ(value, read) << text;
    }
    for (const char* text :
         {"", "12 ", "1.0", "-", "$", "+-1", "9223372036854775808", "-9223372036854775809",
          "$10000000000000000", "99999999999999999999"}) {
        std::int64_t value = 0;
        EXPECT_FALSE(TryStrToInt64(text, value)) << text;
    }
}

// A double is read from the text with one rounding, as the C library reads it, whatever blanks
// or signs stand around the number.
TEST_F(ConversionsTest, DoublesAreReadWithOneRounding) {
    std::mt19937_64 random(7);
    for (int round = 0; round < 20000; ++round) {
        std::string number = random() % 4 == 0 ? "-" : "";
        const int digits = 1 + static_cast<int>(random() % 25);
        const int point = static_cast<int>(random() % (digits + 2));
        for (int i = 0; i < digits; ++i) {
            number += i == point ? "." : "";
            number += static_cast<char>('0' + random() % 10);
        }
        if (random() % 3 == 0) {
            number += "E" + std::to_string(static_cast<int>(random() % 700) - 350);
        }
        const double expected = std::strtod(number.c_str(), nullptr);
        for (const std::string& text :
             {number, "  " + number + " ", number[0] == '-' ? number : "+" + number}) {
            double value = 0;
            if (!std::isfinite(expected)) {
                EXPECT_FALSE(TryStrToDouble(text, value)) << text;
                continue;
            }
            ASSERT_TRUE(TryStrToDouble(text, value)) << text;
            ASSERT_TRUE(expected == value && std::signbit(expected) == std::signbit(value)) << text;
        }
    }
    double value = 1;
    EXPECT_TRUE(TryStrToDouble("1e-400", value));
    EXPECT_EQ(0.0, value);
    for (const char* text : {"", "1e400", "1,5", "1.2.3", "\t1", "inf", "0x10", "+-1"}) {
        EXPECT_FALSE(TryStrToDouble(text, value)) << text;
    }
    // Texts past the short buffer of the everyday numbers.
    const std::string longText = " 0." + std::string(80, '0') + "15 ";
    ASSERT_TRUE(TryStrToDouble(longText, value));
    EXPECT_EQ(1.5e-81, value);
    SetDecimalSeparator(',');
    ASSERT_TRUE(TryStrToDouble(" 2,5", value));
    EXPECT_EQ(2.5, value);
    EXPECT_FALSE(TryStrToDouble("2.5", value));
}

// The real form read exactly, for amounts a double would round: every digit, and where the point
// and the exponent put them.
TEST_F(ConversionsTest, DecimalsAreReadDigitForDigit) {
    static const struct {
        const char* text;
        bool negative;
        std::uint64_t digits;
        long power;
    } cases[] = {
        {"12.50", false, 1250, -2},
        {" -0.0001 ", true, 1, -4},
        {"+1e3", false, 1, 3},
        {"1.5E-3", false, 15, -4},
        {"999999999999999.9999", false, 9999999999999999999u, -4},
        {"-92233720368547758.08", true, 9223372036854775808u, -2},
        {".5", false, 5, -1},
        {"1e400", false, 1, 400},
    };
    for (const auto& c : cases) {
        DecimalDigits value;
        ASSERT_TRUE(TryStrToDecimal(c.text, value)) << c.text;
        EXPECT_EQ(value.negative, c.negative) << c.text;
        EXPECT_EQ(value.digits, c.digits) << c.text;
        EXPECT_EQ(value.power, c.power) << c.text;
    }
    DecimalDigits value;
    for (const char* text : {"", "99999999999999999999", "1,5", "1.2.3", "1e", "$10", "inf"}) {
        EXPECT_FALSE(TryStrToDecimal(text, value)) << text;
    }
    SetDecimalSeparator(',');
    ASSERT_TRUE(TryStrToDecimal("2,25", value));
    EXPECT_EQ(value.digits, 225u);
    EXPECT_EQ(value.power, -2);
    EXPECT_FALSE(TryStrToDecimal("2.25", value));
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
}

// The range messages' "%g": whole numbers in full up to 15 digits, an exponent from there on and
// below 10^-4, written "E", a "-" only when negative, and without leading zeros.
TEST_F(ConversionsTest, FormatGeneralWritesTheExponentAsTheProgramDoes) {
    static const struct {
        long double value;
        const char* text;
    } cases[] = {
        {999999999999999.0L, "999999999999999"},
        {1e15L, "1E15"},
        {-1e15L, "-1E15"},
        {1e20L, "1E20"},
        {9223372036854775807.0L, "9.22337203685478E18"},
        {1.5e300L, "1.5E300"},
        {0.0001L, "0.0001"},
        {0.00001L, "1E-5"},
        {-2.5e-10L, "-2.5E-10"},
        {1e-100L, "1E-100"},
        {0.0L, "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, FormatGeneral(c.value));
    }
    SetDecimalSeparator(',');
    EXPECT_EQ("1,5E20", FormatGeneral(1.5e20L));
    // Found by the number fuzzer: values the reader takes beyond a double's range were written
    // as "inf" and "0", which do not read back.
    EXPECT_EQ("1,18973149535723E4932", FormatGeneral(LDBL_MAX));
    EXPECT_EQ("-1E400", FormatGeneral(StrToFloat("-1E400")));
    EXPECT_EQ("2,5E-4000", FormatGeneral(StrToFloat("2,5e-4000")));
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
