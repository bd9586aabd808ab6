#include "fill/rounded_real.h"

#include <cmath>

namespace rowsmith {

namespace {

constexpr std::uint64_t kPowersOfTen[kMaxRoundedDecimals + 1] = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

}  // namespace

double UnitsToReal(std::uint64_t units, int decimals) {
    // Both operands are exact, so the quotient is rounded once, to nearest with ties to even.
    return static_cast<double>(units) / static_cast<double>(kPowersOfTen[decimals]);
}

bool RoundedReal(long double value, int decimals, double& result) {
    const long double magnitude = std::fabs(value);
    // Written so that NaN fails too.
    if (!(magnitude < static_cast<long double>(kMaxExactUnits))) {
        return false;
    }
    // The magnitude is mantissa / 2^shift exactly, with the 64-bit significand as mantissa and a
    // shift of at least 11 below 2^53. Scaled by 10^decimals it is rounded to nearest with ties
    // to even, as FormatFixed rounds it.
    int exponent = 0;
    const long double fraction = std::frexp(magnitude, &exponent);
    const auto mantissa = static_cast<std::uint64_t>(fraction * 18446744073709551616.0L);
    const int shift = 64 - exponent;
    using Wide = unsigned __int128;
    Wide units = 0;
    // From a shift of 128 on the scaled value is below 2^-34 and rounds to 0.
    if (shift < 128) {
        const Wide product = Wide(mantissa) * kPowersOfTen[decimals];
        const Wide rest = product & ((Wide(1) << shift) - 1);
        const Wide half = Wide(1) << (shift - 1);
        units = product >> shift;
        if (rest > half || (rest == half && (units & 1) != 0)) {
            ++units;
        }
    }
    // It may pass 64 bits (up to 2^53 times 10^9), so it is compared before it is narrowed.
    if (units > kMaxExactUnits) {
        return false;
    }
    const double number = UnitsToReal(static_cast<std::uint64_t>(units), decimals);
    // The text of a negative value keeps its minus sign even when it rounds to zero.
    result = std::signbit(value) ? -number : number;
    return true;
}

}  // namespace rowsmith
