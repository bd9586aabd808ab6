#include "text/conversions.h"

#include <langinfo.h>
#include <locale.h>
#include <stdlib.h>

#include <atomic>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

#include "text/errors.h"

namespace rowsmith {

namespace {

// Read on every conversion and set once at start-up, so relaxed ordering is enough.
std::atomic<char> decimalSeparator{'.'};

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool ParseInt(std::string_view text, std::int32_t& value) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') {
        ++i;
    }
    if (i == n) {
        return false;
    }
    if (text[i] == '$') {
        ++i;
        if (i == n) {
            return false;
        }
        std::uint64_t bits = 0;
        for (; i < n; ++i) {
            const int digit = HexDigitValue(text[i]);
            if (digit < 0) {
                return false;
            }
            bits = bits * 16 + static_cast<std::uint64_t>(digit);
            if (bits > 0xFFFFFFFFu) {
                return false;
            }
        }
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
        return true;
    }
    const bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-') {
        ++i;
    }
    if (i == n) {
        return false;
    }
    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        if (!IsDigit(text[i])) {
            return false;
        }
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (magnitude > limit) {
            return false;
        }
    }
    const auto signedMagnitude = static_cast<std::int64_t>(magnitude);
    value = static_cast<std::int32_t>(negative ? -signedMagnitude : signedMagnitude);
    return true;
}

// The "C" locale for strtold_l, so parsing never depends on the process's global locale.
locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// Checks the accepted form and copies it into `normal` with a point as separator and without
// blanks, ready for strtold_l.
bool NormaliseFloat(std::string_view text, char separator, std::string& normal) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') {
        ++i;
    }
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        normal += text[i++];
    }
    bool seenSeparator = false;
    std::size_t digits = 0;
    for (; i < n; ++i) {
        if (IsDigit(text[i])) {
            normal += text[i];
            ++digits;
        } else if (text[i] == separator && !seenSeparator) {
            normal += '.';
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            normal += text[i++];
        }
        const std::size_t exponentStart = i;
        while (i < n && IsDigit(text[i])) {
            normal += text[i++];
        }
        if (i == exponentStart) {
            return false;
        }
    }
    while (i < n && text[i] == ' ') {
        ++i;
    }
    return i == n;
}

bool ParseFloat(std::string_view text, long double& value) {
    std::string normal;
    normal.reserve(text.size());
    if (!NormaliseFloat(text, DecimalSeparator(), normal)) {
        return false;
    }
    // Underflow gives zero or a subnormal value, which is accepted; only overflow is out of range.
    const long double result = strtold_l(normal.c_str(), nullptr, CLocale());
    if (std::isinf(result)) {
        return false;
    }
    value = result;
    return true;
}

}  // namespace

std::int32_t StrToInt(const std::string& text) {
    std::int32_t value = 0;
    if (!ParseInt(text, value)) {
        throw EConvertError("'" + text + "' is not a valid integer value");
    }
    return value;
}

bool TryStrToInt(const std::string& text, std::int32_t& value) { return ParseInt(text, value); }

long double StrToFloat(const std::string& text) {
    long double value = 0;
    if (!ParseFloat(text, value)) {
        throw EConvertError("'" + text + "' is not a valid floating point value");
    }
    return value;
}

bool TryStrToFloat(const std::string& text, long double& value) {
    return ParseFloat(text, value);
}

std::string IntToStr(std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatFixed(long double value, int decimals) {
    if (decimals < 0) {
        decimals = 0;
    }
    char small[128];
    std::string text;
    auto result = std::to_chars(small, small + sizeof small, value, std::chars_format::fixed,
                                decimals);
    if (result.ec == std::errc()) {
        text.assign(small, result.ptr);
    } else {
        // Only huge magnitudes need more: the largest long double has 4933 integer digits.
        text.resize(5000 + static_cast<std::size_t>(decimals));
        result = std::to_chars(text.data(), text.data() + text.size(), value,
                               std::chars_format::fixed, decimals);
        text.resize(static_cast<std::size_t>(result.ptr - text.data()));
    }
    const char separator = DecimalSeparator();
    if (separator != '.') {
        const auto point = text.find('.');
        if (point != std::string::npos) {
            text[point] = separator;
        }
    }
    return text;
}

char DecimalSeparator() { return decimalSeparator.load(std::memory_order_relaxed); }

void SetDecimalSeparator(char separator) {
    decimalSeparator.store(separator, std::memory_order_relaxed);
}

void InitDecimalSeparatorFromLocale() {
    char separator = '.';
    const locale_t locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (locale != static_cast<locale_t>(nullptr)) {
        // A radix of more than one byte (some UTF-8 locales) cannot be one character of a text.
        const char* radix = nl_langinfo_l(RADIXCHAR, locale);
        if (radix != nullptr && radix[0] != '\0' && radix[1] == '\0') {
            separator = radix[0];
        }
        freelocale(locale);
    }
    SetDecimalSeparator(separator);
}

}  // namespace rowsmith
