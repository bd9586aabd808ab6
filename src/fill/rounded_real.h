// The number a real column stores for a value the fill writes in fixed notation ("%.4f",
// "%.2f"), worked out without making the text and reading it back. The value is rounded to its
// decimals exactly as FormatFixed rounds it, and the rounded digits are divided once by the
// power of ten: one correctly rounded division is the correctly rounded reading of the text. So a
// column gets the very same number, to the last bit, that the text would give it.
#pragma once

#include <cstdint>

namespace rowsmith {

// The most decimals the functions below take.
constexpr int kMaxRoundedDecimals = 9;
// The most units UnitsToReal takes: every integer up to it is exact in a double.
constexpr std::uint64_t kMaxExactUnits = std::uint64_t{1} << 53;

// The double that the digits of `units` with `decimals` of them after the separator read back
// as. REQUIRES: units <= kMaxExactUnits, 0 <= decimals <= kMaxRoundedDecimals.
double UnitsToReal(std::uint64_t units, int decimals);

// The double that FormatFixed(value, decimals) reads back as. False, leaving `result` alone, when
// the value is not finite or its rounded digits exceed kMaxExactUnits: the text is the way then.
// REQUIRES: 0 <= decimals <= kMaxRoundedDecimals.
bool RoundedReal(long double value, int decimals, double& result);

}  // namespace rowsmith
