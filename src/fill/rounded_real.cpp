#include "fill/rounded_real.h"

#include <cmath>

#include "text/conversions.h"

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
    std::uint64_t units = 0;
    if (!FixedUnits(value, decimals, units) || units > kMaxExactUnits) {
        return false;
    }
    const double number = UnitsToReal(units, decimals);
    // The text of a negative value keeps its minus sign even when it rounds to zero.
    result = std::signbit(value) ? -number : number;
    return true;
}

}  // namespace rowsmith
