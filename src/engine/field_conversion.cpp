#include "engine/field_conversion.h"

#include <charconv>
#include <string_view>

#include "engine/currency.h"
#include "engine/database_errors.h"
#include "text/conversions.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

[[noreturn]] void Refuse(const std::string& text, const char* what, const ColumnInfo& column) {
    throw EDatabaseError("'" + text + "' is not a valid " + what + " value for field '" +
                         column.name + "'");
}

[[noreturn]] void CannotAccess(const ColumnInfo& column, TFieldType as) {
    throw EDatabaseError("Cannot access field '" + column.name + "' as type " + FieldTypeName(as));
}

[[noreturn]] void OutOfRange(const ColumnInfo& column, std::int64_t number, long double low,
                             long double high) {
    throw OutOfRangeError(static_cast<long double>(number), column.name, low, high);
}

// Small and free of the throw, so that it is inlined into every integer write.
inline void CheckRange(const ColumnInfo& column, std::int64_t number) {
    std::int64_t low;
    std::int64_t high;
    if (column.type == ftSmallint) {
        low = -32768;
        high = 32767;
    } else if (column.type == ftWord) {
        low = 0;
        high = 65535;
    } else if (column.unsignedWide) {
        // Its values beyond the signed range come as they are, not through here.
        if (number < 0) {
            OutOfRange(column, number, 0, 18446744073709551615.0L);
        }
        return;
    } else if (!column.wide) {
        low = -2147483648LL;
        high = 2147483647;
    } else {
        return;
    }
    if (number < low || number > high) {
        OutOfRange(column, number, static_cast<long double>(low), static_cast<long double>(high));
    }
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// YYYY-MM-DD at `at`, a real calendar day.
bool IsDate(const std::string& text, std::size_t at) {
    int year;
    int month;
    int day;
    if (!FixedDigits(text, at, 4, year) || text[at + 4] != '-' ||
        !FixedDigits(text, at + 5, 2, month) || text[at + 7] != '-' ||
        !FixedDigits(text, at + 8, 2, day)) {
        return false;
    }
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    return day <= kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

// HH:MM:SS at `at`.
bool IsTime(const std::string& text, std::size_t at) {
    int hour;
    int minute;
    int second;
    return FixedDigits(text, at, 2, hour) && text[at + 2] == ':' &&
           FixedDigits(text, at + 3, 2, minute) && text[at + 5] == ':' &&
           FixedDigits(text, at + 6, 2, second) && hour < 24 && minute < 60 && second < 60;
}

// Nothing from `at` on, or a fraction of a second: "." and one to nine digits to the end. Servers
// keep fractions (a default of now(), say), and such a value must copy back unchanged.
bool IsFractionOrEnd(const std::string& text, std::size_t at) {
    if (at == text.size()) {
        return true;
    }
    const std::size_t digits = text.size() - at - 1;
    if (text[at] != '.' || digits < 1 || digits > 9) {
        return false;
    }
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        if (!IsDigit(text[i])) {
            return false;
        }
    }
    return true;
}

std::string DateTimeText(const ColumnInfo& column, const std::string& text) {
    // Blanks around a value are dropped, as a value set written "a, b" leaves them.
    std::string value = TrimBlanks(text);
    switch (column.type) {
        case ftDate:
            if (value.size() == 10 && IsDate(value, 0)) {
                return value;
            }
            Refuse(text, "date", column);
        case ftTime:
            if (value.size() == 5 && IsTime(value + ":00", 0)) {
                return value + ":00";
            }
            if (value.size() >= 8 && IsTime(value, 0) && IsFractionOrEnd(value, 8)) {
                return value;
            }
            Refuse(text, "time", column);
        default:
            if (value.size() == 10 && IsDate(value, 0)) {
                return value + " 00:00:00";
            }
            if (value.size() >= 19 && IsDate(value, 0) && (value[10] == ' ' || value[10] == 'T') &&
                IsTime(value, 11) && IsFractionOrEnd(value, 19)) {
                value[10] = ' ';
                return value;
            }
            Refuse(text, "date and time", column);
    }
}

std::int64_t BooleanNumber(const ColumnInfo& column, const std::string& text) {
    const std::string value = TrimBlanks(text);
    if (SameText(value, "true") || value == "1") {
        return 1;
    }
    if (SameText(value, "false") || value == "0") {
        return 0;
    }
    Refuse(text, "boolean", column);
}

// Stores the text, cut to `size` characters when that is set. Characters are counted in UTF-8,
// and a cut never falls inside one. The value keeps its buffer when it already holds text.
void SetText(FieldValue& value, std::string_view text, int size) {
    std::size_t length = text.size();
    if (size > 0 && length > static_cast<std::size_t>(size)) {
        int characters = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && characters++ == size) {
                length = i;
                break;
            }
        }
    }
    if (auto* stored = std::get_if<std::string>(&value)) {
        stored->assign(text.substr(0, length));
    } else {
        value.emplace<std::string>(text.substr(0, length));
    }
}

// The integer forms: the standard 32-bit conversion first (it also reads "$FFFFFFFF" as -1); a
// decimal number beyond it still reads, so the message can name the column's range.
std::int64_t IntegerOfText(const ColumnInfo& column, const std::string& text) {
    std::int64_t number;
    std::int32_t narrow;
    if (!column.wide && TryStrToInt(text, narrow)) {
        number = narrow;
    } else if (!TryStrToInt64(text, number)) {
        // Past the signed range, an unsigned column takes decimal digits up to 2^64 - 1.
        std::uint64_t digits = 0;
        const std::size_t first = text.find_first_not_of(' ');
        const char* end = text.data() + text.size();
        const auto read = first == std::string::npos
                              ? std::from_chars_result{text.data(), std::errc::invalid_argument}
                              : std::from_chars(text.data() + first, end, digits);
        if (!column.unsignedWide || read.ec != std::errc() || read.ptr != end) {
            Refuse(text, "integer", column);
        }
        return static_cast<std::int64_t>(digits);
    }
    CheckRange(column, number);
    return number;
}

double RealOfText(const ColumnInfo& column, const std::string& text) {
    double number;
    if (!TryStrToDouble(text, number)) {
        Refuse(text, "floating point", column);
    }
    return number;
}

// An amount keeps every digit of its text; one with more than a Currency holds is a real, as
// any other number.
void SetAmount(const ColumnInfo& column, const std::string& text, FieldValue& value) {
    DecimalDigits decimal;
    Currency amount;
    if (TryStrToDecimal(text, decimal) &&
        MakeCurrency(decimal.negative, decimal.digits, decimal.power, amount)) {
        value = amount;
    } else {
        value = RealOfText(column, text);
    }
}

}  // namespace

void StoreText(const ColumnInfo& column, const std::string& text, FieldValue& value) {
    const TFieldType type = column.type;
    if (text.empty()) {
        value = std::monostate();
    } else if (StoresText(type)) {
        SetText(value, text, column.size);
    } else if (StoresIntegers(type)) {
        value = IntegerOfText(column, text);
    } else if (type == ftCurrency) {
        SetAmount(column, text, value);
    } else if (StoresReals(type)) {
        value = RealOfText(column, text);
    } else if (type == ftDate || type == ftTime || type == ftDateTime) {
        value = DateTimeText(column, text);
    } else if (type == ftBoolean) {
        value = BooleanNumber(column, text);
    } else if (StoresBytes(type)) {
        SetText(value, text, 0);
    } else {
        CannotAccess(column, ftString);
    }
}

void StoreInteger(const ColumnInfo& column, std::int32_t number, FieldValue& value) {
    const TFieldType type = column.type;
    if (StoresIntegers(type)) {
        CheckRange(column, number);
        value = static_cast<std::int64_t>(number);
    } else if (StoresReals(type)) {
        value = static_cast<double>(number);
    } else if (StoresText(type)) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
        SetText(value, std::string(digits, end), column.size);
    } else {
        CannotAccess(column, ftInteger);
    }
}

void StoreValue(const ColumnInfo& column, const ColumnInfo& sourceColumn, const FieldValue& source,
                FieldValue& value) {
    if (const auto* text = std::get_if<std::string>(&source)) {
        StoreText(column, *text, value);
        return;
    }
    // The digits of an integer read back as the same integer in any integer column. A pattern of
    // an unsigned column beyond the signed range is no signed number: its digits decide.
    const auto* integer = std::get_if<std::int64_t>(&source);
    const bool signedNumber = !sourceColumn.unsignedWide || (integer != nullptr && *integer >= 0);
    if (integer != nullptr && signedNumber && sourceColumn.type != ftBoolean &&
        StoresIntegers(column.type)) {
        CheckRange(column, *integer);
        value = *integer;
        return;
    }
    // An amount reads back as the same amount in any money column.
    const auto* amount = std::get_if<Currency>(&source);
    if (amount != nullptr && column.type == ftCurrency) {
        value = *amount;
        return;
    }
    StoreText(column, ValueText(sourceColumn, source), value);
}

void StoreDateTime(const ColumnInfo& column, const DateTimeValue& date, FieldValue& value) {
    using Parts = DateTimeValue::Parts;
    DateTimeValue stored = date;
    char separator = ' ';
    bool withZone = column.zoned;
    if (column.type == ftDate && date.parts != Parts::Time) {
        stored.parts = Parts::Date;
    } else if (column.type == ftTime && date.parts != Parts::Date) {
        stored.parts = Parts::Time;
    } else if (column.type == ftDateTime) {
        if (date.parts == Parts::Time) {
            CannotAccess(column, ftDateTime);
        }
        stored.parts = Parts::DateAndTime;
    } else if (StoresText(column.type)) {
        separator = 'T';
        withZone = date.hasZone;
    } else {
        CannotAccess(column, ftDateTime);
    }
    char text[kDateTimeTextMax];
    const std::size_t length = FormatDateTime(stored, separator, withZone, text);
    SetText(value, std::string_view(text, length), StoresText(column.type) ? column.size : 0);
}

void StoreReal(const ColumnInfo& column, double number, FieldValue& value) {
    if (!StoresReals(column.type)) {
        CannotAccess(column, ftFloat);
    }
    value = number;
}

std::string ValueText(const ColumnInfo& column, const FieldValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        if (column.type == ftBoolean) {
            return *integer != 0 ? "True" : "False";
        }
        char digits[24];
        const auto end = column.unsignedWide
                             ? std::to_chars(digits, digits + sizeof digits,
                                             static_cast<std::uint64_t>(*integer))
                                   .ptr
                             : std::to_chars(digits, digits + sizeof digits, *integer).ptr;
        return std::string(digits, end);
    }
    if (const auto* real = std::get_if<double>(&value)) {
        if (column.type == ftBoolean) {
            return *real != 0 ? "True" : "False";
        }
        char digits[32];
        std::string text(digits, std::to_chars(digits, digits + sizeof digits, *real).ptr);
        const auto point = text.find('.');
        if (point != std::string::npos) {
            text[point] = DecimalSeparator();
        }
        return text;
    }
    if (const auto* amount = std::get_if<Currency>(&value)) {
        std::string text;
        AppendCurrency(text, *amount, DecimalSeparator());
        return text;
    }
    return {};
}

}  // namespace rowsmith
