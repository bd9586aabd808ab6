// Currency: an amount of money held exactly on its way between a text or a money column and the
// engine. A double keeps 15 or so digits; the money columns keep more: MariaDB's DECIMAL(19,4)
// nineteen, PostgreSQL's money a 64-bit count of cents.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace rowsmith {

// The amount is ±units × 10^-decimals with no trailing zero in the fraction, so that each amount
// has one form (and zero no sign). The decimals are the text's own rather than the column's:
// the column rounds an amount as it rounds its text, and only once.
struct Currency {
    std::uint64_t units = 0;
    bool negative = false;
    std::uint8_t decimals = 0;

    friend auto operator<=>(const Currency&, const Currency&) = default;
};

// Makes the amount ±digits × 10^power; false when it has more than 18 decimals or its units do
// not fit 64 bits.
bool MakeCurrency(bool negative, std::uint64_t digits, long power, Currency& amount);
// Reads an amount as a server writes one: an optional "-", digits, and a point with digits.
bool ReadCurrency(std::string_view text, Currency& amount);
// Appends the amount's digits, with `separator` before its decimals when it has any.
void AppendCurrency(std::string& text, const Currency& amount, char separator);
// The double nearest the amount.
double CurrencyReal(const Currency& amount);

}  // namespace rowsmith
