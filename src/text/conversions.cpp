#include "text/conversions.h"

#include <langinfo.h>
#include <locale.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

#include "text/errors.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// Read on every conversion and set once at start-up, so relaxed ordering is enough.
std::atomic<char> decimalSeparator{'.'};

// The standard integer form in a signed integer of `bits` bits (32 or 64).
bool ParseInteger(std::string_view text, int bits, std::int64_t& value) {
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
        std::uint64_t pattern = 0;
        for (; i < n; ++i) {
            const int digit = HexDigitValue(text[i]);
            if (digit < 0 || pattern >> (bits - 4) != 0) {
                return false;
            }
            pattern = pattern * 16 + static_cast<std::uint64_t>(digit);
        }
        // The pattern's top bit is the sign.
        value = bits == 64 ? static_cast<std::int64_t>(pattern)
                           : static_cast<std::int32_t>(static_cast<std::uint32_t>(pattern));
        return true;
    }
    const bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-') {
        ++i;
    }
    if (i == n) {
        return false;
    }
    const std::uint64_t largest = std::uint64_t{1} << (bits - 1);
    const std::uint64_t limit = negative ? largest : largest - 1;
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        if (!IsDigit(text[i])) {
            return false;
        }
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        if (magnitude > (limit - digit) / 10) {
            return false;
        }
        magnitude = magnitude * 10 + digit;
    }
    value = static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
    return true;
}

// The "C" locale for strtold_l, so parsing never depends on the process's global locale.
locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// What the scan learns on the way for the quick conversion: the digits as one integer while
// they fit, and the power of ten that scales it.
struct DecimalParts {
    bool negative = false;
    std::uint64_t digits = 0;
    bool digitsFit = true;
    long power = 0;
};

// An accepted real text in the form the libraries read: a point as separator, no blanks. It is
// never longer than the text, so everyday numbers are normalised on the stack.
class NormalText {
public:
    explicit NormalText(std::size_t textSize) {
        if (textSize >= sizeof small_) {
            large_.resize(textSize + 1);
            data_ = large_.data();
        }
    }
    NormalText(const NormalText&) = delete;
    NormalText& operator=(const NormalText&) = delete;

    NormalText& operator+=(char c) {
        data_[size_++] = c;
        return *this;
    }
    const char* begin() const { return data_; }
    const char* end() const { return data_ + size_; }
    // NUL-terminated, for strtold_l.
    const char* c_str() {
        data_[size_] = '\0';
        return data_;
    }

private:
    char small_[64];
    std::string large_;
    char* data_ = small_;
    std::size_t size_ = 0;
};

// Checks the accepted form and copies it into `normal`; fills `parts` on the way.
bool ScanFloat(std::string_view text, char separator, NormalText& normal, DecimalParts& parts) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') {
        ++i;
    }
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        parts.negative = text[i] == '-';
        normal += text[i++];
    }
    bool seenSeparator = false;
    std::size_t digits = 0;
    for (; i < n; ++i) {
        if (IsDigit(text[i])) {
            normal += text[i];
            ++digits;
            if (parts.digits > (UINT64_MAX - 9) / 10) {
                parts.digitsFit = false;
            } else {
                parts.digits = parts.digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
                parts.power -= seenSeparator ? 1 : 0;
            }
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
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            normal += text[i++];
        }
        const std::size_t exponentStart = i;
        long exponent = 0;
        while (i < n && IsDigit(text[i])) {
            // Capped: beyond this the quick path is out of the question anyway.
            exponent = std::min(exponent * 10 + (text[i] - '0'), 100000L);
            normal += text[i++];
        }
        if (i == exponentStart) {
            return false;
        }
        parts.power += negativeExponent ? -exponent : exponent;
    }
    while (i < n && text[i] == ' ') {
        ++i;
    }
    return i == n;
}

// Both the digits (below 2^53) and 10^|power| (up to 10^22) are exact, so one multiplication or
// division rounds once: the correctly rounded value strtold_l gives, in well under its time.
bool QuickFloat(const DecimalParts& parts, long double& value) {
    static constexpr long double kPowers[] = {
        1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L,
        1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L};
    if (!parts.digitsFit || parts.digits > (std::uint64_t(1) << 53) || parts.power < -22 ||
        parts.power > 22) {
        return false;
    }
    const auto digits = static_cast<long double>(parts.digits);
    const long double power = kPowers[parts.power < 0 ? -parts.power : parts.power];
    const long double magnitude = parts.power < 0 ? digits / power : digits * power;
    value = parts.negative ? -magnitude : magnitude;
    return true;
}

// The extended value of a scanned text. Underflow gives zero or a subnormal value, which is
// accepted; only overflow is out of range.
bool ExtendedValue(NormalText& normal, const DecimalParts& parts, long double& value) {
    if (QuickFloat(parts, value)) {
        return true;
    }
    const long double result = strtold_l(normal.c_str(), nullptr, CLocale());
    if (std::isinf(result)) {
        return false;
    }
    value = result;
    return true;
}

bool ParseFloat(std::string_view text, long double& value) {
    NormalText normal(text.size());
    DecimalParts parts;
    return ScanFloat(text, DecimalSeparator(), normal, parts) &&
           ExtendedValue(normal, parts, value);
}

// from_chars reads fast and rounds once, exactly, to double. The everyday text, a plain number
// with a point, goes to it as it is: it takes no blanks, no "+" and no other separator, and what
// it reads beyond the standard form (inf, nan) is no finite number. Other texts are read in their
// normal form (without a "+"). What from_chars finds out of range goes through the extended
// type: a value below the double's smallest then reads as zero, one beyond its largest is refused.
bool ParseDouble(std::string_view text, double& value) {
    const char* const end = text.data() + text.size();
    if (DecimalSeparator() == '.') {
        const auto plain = std::from_chars(text.data(), end, value);
        if (plain.ec == std::errc() && plain.ptr == end && std::isfinite(value)) {
            return true;
        }
    }
    NormalText normal(text.size());
    DecimalParts parts;
    if (!ScanFloat(text, DecimalSeparator(), normal, parts)) {
        return false;
    }
    const char* first = normal.begin() + (*normal.begin() == '+' ? 1 : 0);
    const auto result = std::from_chars(first, normal.end(), value);
    if (result.ec == std::errc() && result.ptr == normal.end()) {
        return true;
    }
    long double wide = 0;
    if (!ExtendedValue(normal, parts, wide)) {
        return false;
    }
    value = static_cast<double>(wide);
    return std::isfinite(value);
}

}  // namespace

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

std::int32_t StrToInt(const std::string& text) {
    std::int32_t value = 0;
    if (!TryStrToInt(text, value)) {
        throw EConvertError("'" + text + "' is not a valid integer value");
    }
    return value;
}

bool TryStrToInt(const std::string& text, std::int32_t& value) {
    std::int64_t wide = 0;
    if (!ParseInteger(text, 32, wide)) {
        return false;
    }
    value = static_cast<std::int32_t>(wide);
    return true;
}

bool TryStrToInt64(const std::string& text, std::int64_t& value) {
    return ParseInteger(text, 64, value);
}

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

bool TryStrToDouble(const std::string& text, double& value) {
    return ParseDouble(text, value);
}

bool TryStrToDecimal(const std::string& text, DecimalDigits& value) {
    NormalText normal(text.size());
    DecimalParts parts;
    if (!ScanFloat(text, DecimalSeparator(), normal, parts) || !parts.digitsFit) {
        return false;
    }
    value = {parts.negative, parts.digits, parts.power};
    return true;
}

std::string IntToStr(std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

char DecimalSeparator() {
    return decimalSeparator.load(std::memory_order_relaxed);
}

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
