#include "engine/currency.h"

#include <charconv>

namespace rowsmith {

namespace {

constexpr long kMostDecimals = 18;

}  // namespace

bool MakeCurrency(bool negative, std::uint64_t digits, long power, Currency& amount) {
    if (digits == 0) {
        amount = Currency();
        return true;
    }
    for (; digits % 10 == 0; digits /= 10) {
        ++power;
    }
    if (power < -kMostDecimals) {
        return false;
    }
    for (; power > 0; --power) {
        if (digits > UINT64_MAX / 10) {
            return false;
        }
        digits *= 10;
    }
    amount.units = digits;
    amount.negative = negative;
    amount.decimals = static_cast<std::uint8_t>(-power);
    return true;
}

bool ReadCurrency(std::string_view text, Currency& amount) {
    const bool negative = !text.empty() && text[0] == '-';
    std::string_view rest = text.substr(negative ? 1 : 0);
    const std::size_t point = rest.find('.');
    const std::string_view whole = rest.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : rest.substr(point + 1);
    if (whole.empty() || (point != std::string_view::npos && fraction.empty())) {
        return false;
    }
    std::uint64_t digits = 0;
    for (std::string_view part : {whole, fraction}) {
        for (char c : part) {
            const auto digit = static_cast<std::uint64_t>(c - '0');
            if (c < '0' || c > '9' || digits > (UINT64_MAX - digit) / 10) {
                return false;
            }
            digits = digits * 10 + digit;
        }
    }
    return MakeCurrency(negative, digits, -static_cast<long>(fraction.size()), amount);
}

void AppendCurrency(std::string& text, const Currency& amount, char separator) {
    char buffer[24];
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, amount.units).ptr;
    const auto length = static_cast<std::size_t>(end - buffer);
    if (amount.negative) {
        text += '-';
    }
    if (amount.decimals == 0) {
        text.append(buffer, length);
    } else if (amount.decimals >= length) {
        text += '0';
        text += separator;
        text.append(amount.decimals - length, '0');
        text.append(buffer, length);
    } else {
        text.append(buffer, length - amount.decimals);
        text += separator;
        text.append(end - amount.decimals, amount.decimals);
    }
}

double CurrencyReal(const Currency& amount) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                         1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    double magnitude;
    if (amount.units <= (std::uint64_t{1} << 53)) {
        // Both numbers are exact, so the one division rounds once.
        magnitude = static_cast<double>(amount.units) / kPowers[amount.decimals];
    } else {
        std::string text;
        AppendCurrency(text, Currency{amount.units, false, amount.decimals}, '.');
        std::from_chars(text.data(), text.data() + text.size(), magnitude);
    }
    return amount.negative ? -magnitude : magnitude;
}

}  // namespace rowsmith
