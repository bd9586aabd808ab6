// The writing half of conversions.h: reals as fixed-point and general texts.
#include "text/conversions.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <system_error>

namespace rowsmith {

namespace {

// Powers of ten up to 10^18.
constexpr std::array<std::uint64_t, 19> kPowersOfTen = [] {
    std::array<std::uint64_t, 19> powers{};
    std::uint64_t power = 1;
    for (auto& p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}();

// The fill engine formats a real for every generated value, and the library formats a long
// double through printf, so the common case is done here: a value whose scaled digits fit 64 bits.
bool FormatFixedFast(long double value, int decimals, std::string& text) {
    std::uint64_t scaled = 0;
    if (decimals > 18 || !FixedUnits(value, decimals, scaled)) {
        return false;
    }
    const auto places = static_cast<std::size_t>(decimals);
    // The scaled digits with leading zeros up to one digit before the point.
    char digits[48];
    std::size_t length = 0;
    char number[24] = {};
    const char* numberEnd = std::to_chars(number, number + sizeof number, scaled).ptr;
    const auto count = static_cast<std::size_t>(numberEnd - number);
    while (length + count < places + 1) {
        digits[length++] = '0';
    }
    std::memcpy(digits + length, number, count);
    length += count;

    text.clear();
    if (std::signbit(value)) {
        text += '-';
    }
    text.append(digits, length - places);
    if (places > 0) {
        text += '.';
        text.append(digits + length - places, places);
    }
    return true;
}

std::string FormatFixedGeneral(long double value, int decimals) {
    char small[128];
    auto result =
        std::to_chars(small, small + sizeof small, value, std::chars_format::fixed, decimals);
    if (result.ec == std::errc()) {
        return std::string(small, result.ptr);
    }
    // Only huge magnitudes need more: the largest long double has 4933 integer digits.
    std::string text(5000 + static_cast<std::size_t>(decimals), '\0');
    result = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed,
                           decimals);
    text.resize(static_cast<std::size_t>(result.ptr - text.data()));
    return text;
}

}  // namespace

bool FixedUnits(long double value, int decimals, std::uint64_t& units) {
    const long double magnitude = std::fabs(value);
    // Written so that NaN fails too.
    if (!(magnitude < 9223372036854775808.0L)) {
        return false;
    }
    // The magnitude is m / 2^s exactly, with the 64-bit significand as m and s at least 1, so
    // magnitude * 10^d is m * 10^d / 2^s, rounded here to nearest with ties to even.
    int exponent = 0;
    const long double fraction = std::frexp(magnitude, &exponent);
    // Scaling by 2^64 is exact and cheaper than ldexp.
    const auto mantissa = static_cast<std::uint64_t>(fraction * 18446744073709551616.0L);
    const int shift = 64 - exponent;
    // From a shift of 128 on, m * 10^d < 2^124 is less than half of 2^s and rounds to 0.
    if (shift >= 128) {
        units = 0;
        return true;
    }
    using Wide = unsigned __int128;
    const Wide product = Wide(mantissa) * kPowersOfTen[static_cast<std::size_t>(decimals)];
    Wide scaled = product >> shift;
    const Wide rest = product & ((Wide(1) << shift) - 1);
    const Wide half = Wide(1) << (shift - 1);
    if (rest > half || (rest == half && (scaled & 1) != 0)) {
        ++scaled;
    }
    if (scaled > UINT64_MAX) {
        return false;
    }
    units = static_cast<std::uint64_t>(scaled);
    return true;
}

std::string FormatFixed(long double value, int decimals) {
    if (decimals < 0) {
        decimals = 0;
    }
    std::string text;
    if (!FormatFixedFast(value, decimals, text)) {
        text = FormatFixedGeneral(value, decimals);
    }
    const char separator = DecimalSeparator();
    if (separator != '.' && decimals > 0) {
        text[text.size() - static_cast<std::size_t>(decimals) - 1] = separator;
    }
    return text;
}

std::string FormatGeneral(long double value) {
    char buffer[64];
    // The long double itself: through a double, values past the double's range (which the
    // readers accept) were written as "inf" or "0".
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    const auto point = text.find('.');
    if (point != std::string::npos) {
        text[point] = DecimalSeparator();
    }
    // The C library writes "1e+20" and "1e-05"; the program writes "1E20" and "1E-5".
    const auto exponent = text.find('e');
    if (exponent != std::string::npos) {
        std::size_t digits = exponent + 1;
        std::string mark = "E";
        if (text[digits] == '-') {
            mark += '-';
        }
        if (text[digits] == '-' || text[digits] == '+') {
            ++digits;
        }
        while (digits + 1 < text.size() && text[digits] == '0') {
            ++digits;
        }
        text.replace(exponent, digits - exponent, mark);
    }
    return text;
}

}  // namespace rowsmith
