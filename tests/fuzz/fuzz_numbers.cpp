// Fuzz target: the number readers and writers of the text layer and the fill. The first byte
// picks the decimal separator, the rest is the text. The readers agree with each other (Try*,
// Is*, the throwing form), and what the writers write reads back as the number written: integers
// exactly, "%g" within its 15 digits, fixed notation within its last decimal, and RoundedReal to
// the very double its text gives. The exact reader reads the same numbers as the real one.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fill/rounded_real.h"
#include "text/conversions.h"
#include "text/errors.h"
#include "text/text_helpers.h"

namespace {

using namespace rowsmith;

[[noreturn]] void Fail(const char* what, const std::string& text) {
    std::fprintf(stderr, "%s: '%s'\n", what, text.c_str());
    std::abort();
}

void CheckInteger(const std::string& text) {
    std::int32_t value = 0;
    const bool ok = TryStrToInt(text, value);
    if (IsInteger(text) != ok) {
        Fail("IsInteger disagrees with TryStrToInt", text);
    }
    try {
        if (StrToInt(text) != value || !ok) {
            Fail("StrToInt disagrees with TryStrToInt", text);
        }
    } catch (const EConvertError&) {
        if (ok) {
            Fail("StrToInt refuses what TryStrToInt takes", text);
        }
    }
    if (ok) {
        std::int32_t back = 0;
        if (!TryStrToInt(IntToStr(value), back) || back != value) {
            Fail("IntToStr does not read back", text);
        }
    }
}

// The text with the decimal separator as a point, for the C library's reading.
std::string WithPoint(std::string text) {
    for (char& c : text) {
        if (c == DecimalSeparator()) {
            c = '.';
        }
    }
    return text;
}

void CheckReal(const std::string& text) {
    long double value = 0;
    const bool ok = TryStrToFloat(text, value);
    if (IsFloat(text) != ok) {
        Fail("IsFloat disagrees with TryStrToFloat", text);
    }
    try {
        const long double thrown = StrToFloat(text);
        if (!ok || std::memcmp(&thrown, &value, 10) != 0) {
            Fail("StrToFloat disagrees with TryStrToFloat", text);
        }
    } catch (const EConvertError&) {
        if (ok) {
            Fail("StrToFloat refuses what TryStrToFloat takes", text);
        }
    }
    if (!ok) {
        return;
    }
    const long double magnitude = std::fabs(value);

    const std::string general = FormatGeneral(value);
    long double back = 0;
    if (!TryStrToFloat(general, back)) {
        Fail("FormatGeneral does not read back", text + "' as '" + general);
    }
    if (std::fabs(back - value) > magnitude * 1e-14L + 1e-4940L) {
        Fail("FormatGeneral reads back as another number", text + "' as '" + general);
    }

    for (const int decimals : {0, 2, 4}) {
        const std::string fixed = FormatFixed(value, decimals);
        if (!TryStrToFloat(fixed, back)) {
            Fail("FormatFixed does not read back", text + "' as '" + fixed);
        }
        const long double step = std::pow(10.0L, -decimals);
        if (std::fabs(back - value) > step / 2 + magnitude * 1e-18L) {
            Fail("FormatFixed reads back as another number", text + "' as '" + fixed);
        }
        std::uint64_t units = 0;
        if (FixedUnits(value, decimals, units)) {
            std::string digits = std::to_string(units);
            if (digits.size() < static_cast<std::size_t>(decimals) + 1) {
                digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
            }
            std::string written;
            for (char c : fixed) {
                if (c >= '0' && c <= '9') {
                    written += c;
                }
            }
            if (digits != written) {
                Fail("FixedUnits disagrees with FormatFixed", text + "' as '" + fixed);
            }
        }
        double rounded = 0;
        if (RoundedReal(value, decimals, rounded)) {
            const double read = std::strtod(WithPoint(fixed).c_str(), nullptr);
            if (std::memcmp(&read, &rounded, sizeof read) != 0 && !(read == 0 && rounded == 0)) {
                Fail("RoundedReal is not the double its text reads as", text + "' as '" + fixed);
            }
        }
    }
}

// The exact reader takes the real form wherever its digits fit, and reads the same number.
void CheckDecimal(const std::string& text) {
    DecimalDigits decimal;
    if (!TryStrToDecimal(text, decimal)) {
        return;
    }
    long double value = 0;
    if (!TryStrToFloat(text, value)) {
        // Only a number beyond the extended range is no real.
        if (decimal.power < 4900) {
            Fail("TryStrToDecimal takes what TryStrToFloat refuses", text);
        }
        return;
    }
    const long double exact = static_cast<long double>(decimal.digits) *
                              std::pow(10.0L, static_cast<long double>(decimal.power));
    if (std::fabs((decimal.negative ? -exact : exact) - value) >
        std::fabs(value) * 1e-15L + 1e-4930L) {
        Fail("TryStrToDecimal reads another number", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    SetDecimalSeparator(data[0] % 2 == 0 ? '.' : ',');
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    CheckInteger(text);
    CheckReal(text);
    CheckDecimal(text);
    return 0;
}
