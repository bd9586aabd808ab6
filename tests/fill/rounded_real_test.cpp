// RoundedReal against the way it replaces: the "%.4f"/"%.2f" text of a value, read back by a real
// column. Every number it gives must be that one to the last bit, on many values from a fixed seed.
#include "fill/rounded_real.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <variant>

#include "engine/field_conversion.h"
#include "text/conversions.h"

namespace rowsmith::test {
namespace {

// What a real column stores when the fill writes the value's fixed-notation text.
double ThroughText(long double value, int decimals) {
    ColumnInfo column;
    column.name = "x";
    column.type = ftFloat;
    FieldValue stored;
    StoreText(column, FormatFixed(value, decimals), stored);
    return std::get<double>(stored);
}

// Checks one value; false when RoundedReal left it to the text.
bool MatchesTheText(long double value, int decimals) {
    double number = 0;
    if (!RoundedReal(value, decimals, number)) {
        // Only values whose rounded digits pass 2^53 may be left to the text.
        EXPECT_GE(std::fabs(value) * std::pow(10.0L, decimals) + 0.5L,
                  static_cast<long double>(kMaxExactUnits))
            << static_cast<double>(value) << " with " << decimals << " decimals";
        return false;
    }
    const double expected = ThroughText(value, decimals);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(number), std::bit_cast<std::uint64_t>(expected))
        << FormatFixed(value, decimals) << ": " << number << " against " << expected;
    return true;
}

TEST(RoundedReal, GivesTheNumberTheFixedTextReadsAs) {
    // Values as the fill makes them: low + fraction * span, the fraction a multiple of 2^-32.
    static const struct {
        long double low;
        long double high;
    } ranges[] = {
        {0, 1},         {0, 1000},       {1.5L, 3.7L},    {-250.125L, 250.125L}, {10, 2},
        {0, 1e-3L},     {-1e-6L, 1e-6L}, {0.1L, 0.3L},    {1e6L, 1e9L},          {-1e11L, 1e11L},
        {8e11L, 1e12L}, {1e14L, 1e16L},  {0, 2147483648}, {1e3L, 1e30L},
    };
    std::mt19937_64 random(20240601);
    std::uniform_int_distribution<std::uint32_t> state;
    for (char separator : {'.', ','}) {
        SetDecimalSeparator(separator);
        for (const auto& r : ranges) {
            for (int decimals : {4, 2}) {
                int matched = 0;
                for (int i = 0; i < 20000; ++i) {
                    const double fraction = state(random) * (1.0 / 4294967296.0);
                    matched += MatchesTheText(r.low + fraction * (r.high - r.low), decimals);
                }
                // Ranges below 10^11 fit a double's digits whole and never need the text.
                if (std::fabs(r.low) < 1e11L && std::fabs(r.high) < 1e11L) {
                    EXPECT_EQ(matched, 20000) << r.low << " - " << r.high;
                }
            }
        }
    }
    SetDecimalSeparator('.');
}

TEST(RoundedReal, HalvesRoundToEvenAsTheTextDoes) {
    // k / 32 has five decimals, k / 8 three: exact halves of the last kept digit.
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> whole(-1000000, 1000000);
    for (int i = 0; i < 20000; ++i) {
        const long double base = static_cast<long double>(whole(random));
        const long double eighth = static_cast<long double>(i % 8) / 8;
        const long double thirtySecond = static_cast<long double>(i % 32) / 32;
        EXPECT_TRUE(MatchesTheText(base + thirtySecond, 4));
        EXPECT_TRUE(MatchesTheText(base + eighth, 2));
    }
    double number = 0;
    ASSERT_TRUE(RoundedReal(0.125L, 2, number));
    EXPECT_EQ(number, 0.12);
    ASSERT_TRUE(RoundedReal(0.375L, 2, number));
    EXPECT_EQ(number, 0.38);
    ASSERT_TRUE(RoundedReal(-2.03125L, 4, number));
    EXPECT_EQ(number, -2.0312);
}

TEST(RoundedReal, EdgesOfTheQuickWay) {
    static const struct {
        long double value;
        int decimals;
        bool quick;
    } cases[] = {
        {0, 4, true},
        {-0.00001L, 4, true},  // "-0.0000": a negative zero
        {0.00005L, 4, true},
        {1e-4000L, 4, true},
        {-1e-4000L, 2, true},
        {std::numeric_limits<long double>::denorm_min(), 4, true},
        {900719925474.0991L, 4, true},  // 2^53 - 1 units
        {900719925474.0993L, 4, false},
        {90071992547409.91L, 2, true},
        {90071992547409.94L, 2, false},
        {1e300L, 2, false},
        {std::numeric_limits<long double>::infinity(), 4, false},
        {-std::numeric_limits<long double>::infinity(), 2, false},
        {std::numeric_limits<long double>::quiet_NaN(), 4, false},
    };
    for (const auto& c : cases) {
        double number = 0;
        EXPECT_EQ(RoundedReal(c.value, c.decimals, number), c.quick)
            << static_cast<double>(c.value);
        if (c.quick) {
            EXPECT_TRUE(MatchesTheText(c.value, c.decimals));
        }
    }
    double negativeZero = 0;
    ASSERT_TRUE(RoundedReal(-0.00001L, 4, negativeZero));
    EXPECT_TRUE(std::signbit(negativeZero));
}

}  // namespace
}  // namespace rowsmith::test
