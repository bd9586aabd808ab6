// The text of a real in a COPY line or a parameter: reals of few decimals take a quicker way to
// the same text as the general conversion, which the others still take.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "engine/postgres/pg_column.h"

namespace rowsmith::test {
namespace {

std::string Converted(double number, PgKind kind) {
    char buffer[400];
    const auto format =
        kind == PgKind::Money ? std::chars_format::fixed : std::chars_format::general;
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, number, format).ptr);
}

std::string Appended(double number, PgKind kind) {
    std::string text = "x";
    AppendPgNumber(text, number, kind);
    return text.substr(1);
}

TEST(PgNumberTest, RealsOfFewDecimalsGetTheTextOfTheGeneralConversion) {
    std::mt19937_64 random(7);
    constexpr double kPowers[] = {1, 10, 100, 1000, 10000, 100000};
    for (int i = 0; i < 200000; ++i) {
        // Units of every size up to 10^15, at zero to five decimals, of either sign.
        const int digits = static_cast<int>(random() % 16);
        const auto units = random() % static_cast<std::uint64_t>(std::pow(10.0, digits) + 1);
        const double number = (random() % 2 ? -1.0 : 1.0) * static_cast<double>(units) /
                              kPowers[random() % std::size(kPowers)];
        for (PgKind kind : {PgKind::Real, PgKind::Money}) {
            ASSERT_EQ(Appended(number, kind), Converted(number, kind)) << number;
        }
    }
}

TEST(PgNumberTest, EdgesOfTheQuickWayGetTheSameTextToo) {
    for (double number :
         {0.0, -0.0, 0.0001, 0.00005, 1e-5, 0.1 + 0.2, 500.0, 120.0, -7.0, 1e10, 99999999999.9999,
          1e11, 123456789012.5, 1e20, 2.5e-310, std::numeric_limits<double>::max(),
          std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        for (PgKind kind : {PgKind::Real, PgKind::Money}) {
            EXPECT_EQ(Appended(number, kind), Converted(number, kind)) << number;
        }
    }
}

}  // namespace
}  // namespace rowsmith::test
