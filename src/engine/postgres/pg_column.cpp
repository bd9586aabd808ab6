#include "engine/postgres/pg_column.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "engine/currency.h"
#include "engine/database_errors.h"
#include "engine/postgres/pg_link.h"
#include "text/conversions.h"

namespace rowsmith {

namespace {

struct TypeRule {
    const char* baseType;
    TFieldType type;
    PgKind kind;
    // A cast that gives the cursors the value in the form they read; empty for none.
    const char* readCast;
};

// Base types the driver knows; every other type is handled as text that the server checks.
constexpr TypeRule kRules[] = {
    {"int2", ftSmallint, PgKind::Integer, ""},
    {"int4", ftInteger, PgKind::Integer, ""},
    {"int8", ftInteger, PgKind::Integer, ""},
    {"float4", ftFloat, PgKind::Real, ""},
    {"float8", ftFloat, PgKind::Real, ""},
    // money prints with a currency sign; numeric reads back as a plain number.
    {"money", ftCurrency, PgKind::Money, "numeric"},
    {"numeric", ftBCD, PgKind::Real, ""},
    {"varchar", ftString, PgKind::Text, ""},
    {"bpchar", ftString, PgKind::Text, ""},
    {"text", ftString, PgKind::Text, ""},
    {"date", ftDate, PgKind::Text, ""},
    {"time", ftTime, PgKind::Text, ""},
    {"timetz", ftTime, PgKind::Text, "time"},
    {"timestamp", ftDateTime, PgKind::Text, ""},
    {"timestamptz", ftDateTime, PgKind::Text, "timestamp"},
    {"bool", ftBoolean, PgKind::Boolean, ""},
    {"bytea", ftBlob, PgKind::Bytes, ""},
};

constexpr char kHexDigits[] = "0123456789abcdef";

// bytea arrives as "\x" and two hex digits a byte (the server's default output).
FieldValue DecodeBytea(std::string_view text) {
    if (text.substr(0, 2) != "\\x" || text.size() % 2 != 0) {
        return std::string(text);
    }
    std::string bytes;
    bytes.reserve(text.size() / 2 - 1);
    for (std::size_t i = 2; i < text.size(); i += 2) {
        const int high = HexDigitValue(text[i]);
        const int low = HexDigitValue(text[i + 1]);
        if (high < 0 || low < 0) {
            return std::string(text);
        }
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

// A real of at most four decimals, as most generated reals are, in the text std::to_chars gives
// it, in a tenth of the time; false, having written nothing, for any other. Such a real below
// 10^11 is the double nearest to a decimal of at most 15 digits, and no other decimal of so few
// digits is nearest to the same double, so that decimal without trailing zeros is the shortest
// text that reads back. The general form (`exponent`) has it in fixed notation below 10^6.
bool AppendFewDecimals(std::string& text, double number, bool exponent) {
    constexpr double kScale = 1e4;
    const double magnitude = std::fabs(number);
    const double scaled = magnitude * kScale;
    if (!(magnitude > 0 && scaled < 1e15) || (exponent && magnitude >= 1e6)) {
        return false;
    }
    // Exact below 2^52: the check after it rejects any other rounding anyway.
    const auto units = static_cast<std::uint64_t>(scaled + 0.5);
    if (static_cast<double>(units) / kScale != magnitude) {
        return false;
    }
    Currency amount{units, number < 0, 4};
    for (; amount.decimals > 0 && amount.units % 10 == 0; --amount.decimals) {
        amount.units /= 10;
    }
    AppendCurrency(text, amount, '.');
    return true;
}

}  // namespace

void AppendPgNumber(std::string& text, std::int64_t number) {
    char buffer[24];
    text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, number).ptr);
}

// The shortest text that reads back the same double. money takes no exponent, so it gets the
// fixed form (up to 309 digits before the point, which the server then refuses as too large).
void AppendPgNumber(std::string& text, double number, PgKind kind) {
    if (AppendFewDecimals(text, number, kind != PgKind::Money)) {
        return;
    }
    char buffer[400];
    const auto format =
        kind == PgKind::Money ? std::chars_format::fixed : std::chars_format::general;
    text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, number, format).ptr);
}

void AppendPgHex(std::string& text, std::string_view bytes) {
    const std::size_t start = text.size();
    text.resize(start + 2 * bytes.size());
    char* out = text.data() + start;
    for (unsigned char c : bytes) {
        *out++ = kHexDigits[c >> 4];
        *out++ = kHexDigits[c & 15];
    }
}

void CheckPgText(std::string_view text) {
    if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
        throw EDBEngineError("invalid byte sequence for encoding \"UTF8\": 0x00");
    }
}

PgColumn DescribePgColumn(const std::string& name, const std::string& sqlType,
                          const std::string& baseType, int typmod, bool autoIncrement) {
    PgColumn column;
    column.info.name = name;
    column.info.declaredType = sqlType;
    column.info.type = ftString;
    column.sqlType = sqlType;
    const char* readCast = "";
    for (const TypeRule& rule : kRules) {
        if (baseType == rule.baseType) {
            column.info.type = rule.type;
            column.kind = rule.kind;
            readCast = rule.readCast;
            break;
        }
    }
    column.info.wide = baseType == "int8";
    // time(p) and timestamp(p) keep p digits of a second; without p, six.
    if (column.info.type == ftTime || column.info.type == ftDateTime) {
        column.info.fractionDigits = typmod >= 0 ? typmod : 6;
        column.info.zoned = baseType == "timestamptz" || baseType == "timetz";
    }
    if (autoIncrement && column.kind == PgKind::Integer) {
        column.info.type = ftAutoInc;
    }
    // varchar(n) and char(n) keep n + 4 in the modifier; -1 means no declared size.
    if ((baseType == "varchar" || baseType == "bpchar") && typmod > 4) {
        column.info.size = typmod - 4;
    }
    column.selectExpr = QuoteIdentifier(name);
    if (*readCast != '\0') {
        column.selectExpr += std::string("::") + readCast;
    }
    return column;
}

std::optional<std::string_view> PgParamText(const FieldValue& value, PgKind kind,
                                            std::string& scratch) {
    if (std::holds_alternative<std::monostate>(value)) {
        return std::nullopt;
    }
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        scratch.clear();
        AppendPgNumber(scratch, *integer);
        return scratch;
    }
    if (const auto* real = std::get_if<double>(&value)) {
        scratch.clear();
        AppendPgNumber(scratch, *real, kind);
        return scratch;
    }
    if (const auto* amount = std::get_if<Currency>(&value)) {
        scratch.clear();
        AppendCurrency(scratch, *amount, '.');
        return scratch;
    }
    const std::string& text = std::get<std::string>(value);
    if (kind == PgKind::Bytes) {
        // The hex form carries any byte, zero included.
        scratch.assign("\\x");
        AppendPgHex(scratch, text);
        return scratch;
    }
    CheckPgText(text);
    return text;
}

PgText PgParam(const FieldValue& value, PgKind kind) {
    std::string scratch;
    const std::optional<std::string_view> text = PgParamText(value, kind, scratch);
    return text ? PgText(std::string(*text)) : std::nullopt;
}

PgText PgKeyParam(const FieldValue& part) {
    if (const auto* text = std::get_if<std::string>(&part)) {
        return *text;
    }
    if (const auto* integer = std::get_if<std::int64_t>(&part)) {
        return std::to_string(*integer);
    }
    return std::nullopt;
}

FieldValue ReadPgValue(const char* text, int length, PgKind kind) {
    const std::string_view view(text, static_cast<std::size_t>(length));
    switch (kind) {
        case PgKind::Integer: {
            std::int64_t number = 0;
            const auto result = std::from_chars(text, text + length, number);
            if (result.ec == std::errc() && result.ptr == text + length) {
                return number;
            }
            break;
        }
        case PgKind::Money: {
            // money arrives cast to numeric: every cent, which a double would not keep.
            Currency amount;
            if (ReadCurrency(view, amount)) {
                return amount;
            }
            break;
        }
        case PgKind::Real: {
            double number = 0;
            const auto result = std::from_chars(text, text + length, number);
            if (result.ec == std::errc() && result.ptr == text + length) {
                return number;
            }
            break;
        }
        case PgKind::Boolean:
            return std::int64_t{view == "t" ? 1 : 0};
        case PgKind::Bytes:
            return DecodeBytea(view);
        case PgKind::Text:
            break;
    }
    return std::string(view);
}

}  // namespace rowsmith
