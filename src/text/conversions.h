// The standard conversions between texts and numbers. Every layer converts through these, so the
// accepted forms and the messages are the same everywhere.
#pragma once

#include <cstdint>
#include <string>

namespace rowsmith {

// Text to 32-bit signed integer: optional leading blanks, then an optional sign and decimal
// digits within the 32-bit range, or "$" and hexadecimal digits whose value fits in 32 bits
// (taken as the bit pattern, so "$FFFFFFFF" is -1). Nothing may follow, not even blanks.
// Throws EConvertError "'%s' is not a valid integer value".
std::int32_t StrToInt(const std::string& text);
bool TryStrToInt(const std::string& text, std::int32_t& value);
// The same form widened to 64 bits: decimal digits within the 64-bit range, or "$" and up to
// sixteen hexadecimal digits taken as the 64-bit pattern (so "$FFFFFFFF" is 4294967295).
bool TryStrToInt64(const std::string& text, std::int64_t& value);

// Text to real (long double): optional leading and trailing blanks, an optional sign, digits with
// at most one decimal separator, an optional exponent. Throws EConvertError
// "'%s' is not a valid floating point value".
long double StrToFloat(const std::string& text);
bool TryStrToFloat(const std::string& text, long double& value);
// The same form read straight into a double, rounded once (values beyond the double's range are
// refused; values below its smallest read as zero). Columns store reals as doubles.
bool TryStrToDouble(const std::string& text, double& value);

// The same form read exactly, as ±digits × 10^power ("12.50" is 1250 and -2): false when the
// text is no real or its digits do not fit 64 bits. No range is checked, so "1e400" reads.
struct DecimalDigits {
    bool negative = false;
    std::uint64_t digits = 0;
    long power = 0;
};
bool TryStrToDecimal(const std::string& text, DecimalDigits& value);

// The value of a hexadecimal digit in either letter case, or -1.
int HexDigitValue(char c);

// Plain decimal, "-" for negative numbers.
std::string IntToStr(std::int64_t value);

// Fixed notation with exactly `decimals` digits after the decimal separator ("%.4f", "%.2f").
std::string FormatFixed(long double value, int decimals);
// The general format ("%g") with up to 15 significant digits and the decimal separator, so whole
// numbers print in full ("-2147483648"); from 10^15 up and below 10^-4 with an exponent written
// as the program's number texts write it: "E", a "-" only for a negative one, no leading zeros
// ("1E20", "1.5E-5").
std::string FormatGeneral(long double value);
// The digits FormatFixed writes for |value|, as one whole number: |value| times 10^decimals,
// rounded to nearest with ties to even. False, leaving `units` alone, when that is not finite or
// does not fit 64 bits. REQUIRES: 0 <= decimals <= 18.
bool FixedUnits(long double value, int decimals, std::uint64_t& units);

// The decimal separator of the user's locale, read once at start-up; a point until then.
char DecimalSeparator();
void SetDecimalSeparator(char separator);
// Reads LC_NUMERIC from the environment's locale without changing the C library's global locale.
void InitDecimalSeparatorFromLocale();

}  // namespace rowsmith
