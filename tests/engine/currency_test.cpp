// Amounts of money held exactly: one form for each amount, its text both ways, and the double
// nearest to it for the columns that keep reals.
#include "engine/currency.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

namespace rowsmith::test {
namespace {

std::string Text(const Currency& amount, char separator = '.') {
    std::string text;
    AppendCurrency(text, amount, separator);
    return text;
}

TEST(CurrencyTest, EachAmountHasOneForm) {
    static const struct {
        bool negative;
        std::uint64_t digits;
        long power;
        const char* text;
    } cases[] = {
        {false, 1250, -2, "12.5"},
        {true, 5, -1, "-0.5"},
        {false, 15, -4, "0.0015"},
        {true, 0, -3, "0"},
        {false, 1, 3, "1000"},
        {false, 9999999999999999999u, -4, "999999999999999.9999"},
        {true, 9223372036854775808u, -2, "-92233720368547758.08"},
        {false, 1, -18, "0.000000000000000001"},
        {false, 18446744073709551615u, -18, "18.446744073709551615"},
    };
    for (const auto& c : cases) {
        Currency amount;
        ASSERT_TRUE(MakeCurrency(c.negative, c.digits, c.power, amount)) << c.text;
        EXPECT_EQ(Text(amount), c.text);
        Currency read;
        ASSERT_TRUE(ReadCurrency(c.text, read)) << c.text;
        EXPECT_EQ(read, amount) << c.text;
    }
    Currency amount;
    EXPECT_FALSE(MakeCurrency(false, 1, -19, amount));
    EXPECT_FALSE(MakeCurrency(false, 2, 19, amount));
    EXPECT_FALSE(MakeCurrency(false, 1, 100000, amount));
    EXPECT_EQ(Text(Currency{125, true, 1}, ','), "-12,5");
    for (const char* text : {"", "-", "12.", ".5", "1e3", "$1.00", "1,5", "99999999999999999999"}) {
        EXPECT_FALSE(ReadCurrency(text, amount)) << text;
    }
}

// The double bound for an amount is the one its text reads as: rounded once, however many digits.
TEST(CurrencyTest, TheNearestDoubleIsTheTextsDouble) {
    std::mt19937_64 random(11);
    for (int round = 0; round < 20000; ++round) {
        const std::uint64_t digits = random() >> (random() % 64);
        Currency amount;
        ASSERT_TRUE(
            MakeCurrency(random() % 2 == 0, digits, -static_cast<long>(random() % 19), amount));
        const std::string text = Text(amount);
        EXPECT_EQ(CurrencyReal(amount), std::strtod(text.c_str(), nullptr)) << text;
    }
}

}  // namespace
}  // namespace rowsmith::test
