#include "cli/value_formats.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <variant>

#include "engine/currency.h"
#include "engine/cursor_field.h"
#include "text/printable.h"

namespace rowsmith {

namespace {

void AppendHexByte(std::string& out, unsigned char byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

void AppendInteger(std::string& out, std::int64_t value, bool isUnsigned) {
    char digits[24];
    const auto end =
        isUnsigned
            ? std::to_chars(digits, digits + sizeof digits, static_cast<std::uint64_t>(value)).ptr
            : std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// The shortest text that reads back as `value`, with a point whatever the locale says.
void AppendReal(std::string& out, double value) {
    char digits[32];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

const char* NonFiniteName(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    return value > 0 ? "Infinity" : "-Infinity";
}

}  // namespace

void AppendBase64(std::string& out, std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t n = static_cast<unsigned char>(bytes[i]) << 16 |
                                static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[n >> 18];
        out += kAlphabet[(n >> 12) & 63];
        out += kAlphabet[(n >> 6) & 63];
        out += kAlphabet[n & 63];
    }
    if (i < bytes.size()) {
        std::uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) {
            n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        out += kAlphabet[n >> 18];
        out += kAlphabet[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
}

void AppendCsvText(std::string& out, std::string_view text) {
    bool quote = text.empty() || text.front() == ' ' || text.back() == ' ';
    for (std::size_t i = 0; i < text.size() && !quote; ++i) {
        const char c = text[i];
        quote = c == ',' || c == '"' || c == '\r' || c == '\n';
    }
    if (!quote) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

void AppendCsvValue(std::string& out, const CursorField& field) {
    const FieldValue& value = field.Value();
    if (std::holds_alternative<std::monostate>(value)) {
        return;
    }
    const auto* integer = std::get_if<std::int64_t>(&value);
    const auto* real = std::get_if<double>(&value);
    const auto* text = std::get_if<std::string>(&value);
    // Numbers never hold a character that needs quotes.
    if (const auto* amount = std::get_if<Currency>(&value)) {
        AppendCurrency(out, *amount, '.');
    } else if (field.FieldType() == ftBoolean ||
               (integer == nullptr && real == nullptr && text == nullptr)) {
        AppendCsvText(out, field.ReadString());
    } else if (integer != nullptr) {
        AppendInteger(out, *integer, field.IsUnsigned());
    } else if (real != nullptr) {
        if (std::isfinite(*real)) {
            AppendReal(out, *real);
        } else {
            out += NonFiniteName(*real);
        }
    } else if (StoresBytes(field.FieldType())) {
        AppendBase64(out, *text);
    } else {
        AppendCsvText(out, *text);
    }
}

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    std::size_t i = 0;
    while (i < text.size()) {
        // Most texts are plain: their runs of printable ASCII go out in one piece.
        std::size_t plain = i;
        while (plain < text.size() && text[plain] >= 0x20 && text[plain] < 0x7F &&
               text[plain] != '"' && text[plain] != '\\') {
            ++plain;
        }
        if (plain > i) {
            out.append(text, i, plain - i);
            i = plain;
            continue;
        }
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                out += "\\udc";
                AppendHexByte(out, byte);
                ++i;
            } else {
                out += text.substr(i, length);
                i += length;
            }
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += "\\u00";
            AppendHexByte(out, byte);
        }
        ++i;
    }
    out += '"';
}

void AppendJsonValue(std::string& out, const CursorField& field) {
    const FieldValue& value = field.Value();
    const bool boolean = field.FieldType() == ftBoolean;
    if (std::holds_alternative<std::monostate>(value)) {
        out += "null";
    } else if (const auto* amount = std::get_if<Currency>(&value)) {
        AppendCurrency(out, *amount, '.');
    } else if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        if (boolean) {
            out += *integer != 0 ? "true" : "false";
        } else {
            AppendInteger(out, *integer, field.IsUnsigned());
        }
    } else if (const auto* real = std::get_if<double>(&value)) {
        if (boolean) {
            out += *real != 0 ? "true" : "false";
        } else if (std::isfinite(*real)) {
            AppendReal(out, *real);
        } else {
            AppendJsonString(out, NonFiniteName(*real));
        }
    } else if (const auto* text = std::get_if<std::string>(&value);
               text && StoresBytes(field.FieldType())) {
        out += '"';
        AppendBase64(out, *text);
        out += '"';
    } else {
        AppendJsonString(out, field.ReadString());
    }
}

void AppendSqlIdentifier(std::string& out, std::string_view name, SqlDialect dialect) {
    const char quote = dialect == SqlDialect::MariaDB ? '`' : '"';
    out += quote;
    for (char c : name) {
        out += c;
        if (c == quote) {
            out += quote;
        }
    }
    out += quote;
}

void AppendSqlValue(std::string& out, const CursorField& field, SqlDialect dialect) {
    const FieldValue& value = field.Value();
    const bool boolean = field.FieldType() == ftBoolean;
    if (std::holds_alternative<std::monostate>(value)) {
        out += "NULL";
        return;
    }
    if (const auto* amount = std::get_if<Currency>(&value)) {
        AppendCurrency(out, *amount, '.');
        return;
    }
    const auto* integer = std::get_if<std::int64_t>(&value);
    const auto* real = std::get_if<double>(&value);
    if (boolean && (integer != nullptr || real != nullptr)) {
        out += (integer != nullptr ? *integer != 0 : *real != 0) ? "TRUE" : "FALSE";
        return;
    }
    if (integer != nullptr) {
        AppendInteger(out, *integer, field.IsUnsigned());
        return;
    }
    if (real != nullptr && std::isfinite(*real)) {
        AppendReal(out, *real);
        return;
    }
    const auto* stored = std::get_if<std::string>(&value);
    if (stored && StoresBytes(field.FieldType())) {
        // Each dialect's own form for bytes, so that a zero byte or any other arrives unchanged.
        out += dialect == SqlDialect::PostgreSQL ? "'\\x" : "X'";
        for (char c : *stored) {
            AppendHexByte(out, static_cast<unsigned char>(c));
        }
        out += '\'';
        return;
    }
    const std::string text = stored ? *stored : field.ReadString();
    if (dialect == SqlDialect::SQLite && text.find('\0') != std::string::npos) {
        // SQLite reads a statement's text only up to a zero byte.
        out += "CAST(X'";
        for (char c : text) {
            AppendHexByte(out, static_cast<unsigned char>(c));
        }
        out += "' AS TEXT)";
        return;
    }
    out += '\'';
    for (char c : text) {
        if (c == '\'') {
            out += "''";
        } else if (dialect == SqlDialect::MariaDB && c == '\\') {
            // MariaDB reads backslash escapes in quoted texts unless NO_BACKSLASH_ESCAPES is set.
            out += "\\\\";
        } else if (dialect == SqlDialect::MariaDB && c == '\0') {
            out += "\\0";
        } else {
            out += c;
        }
    }
    out += '\'';
}

std::string TableCellText(const CursorField& field) {
    const std::string text = field.ReadString();
    std::string cell;
    cell.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text, i);
            if (length > 0) {
                cell.append(text, i, length);
                i += length;
                continue;
            }
        }
        if (c == '\\') {
            cell += "\\\\";
        } else if (c == '\n') {
            cell += "\\n";
        } else if (c == '\r') {
            cell += "\\r";
        } else if (c == '\t') {
            cell += "\\t";
        } else if (byte < 0x20 || byte >= 0x7F) {
            cell += "\\x";
            AppendHexByte(cell, byte);
        } else {
            cell += c;
        }
        ++i;
    }
    return cell;
}

}  // namespace rowsmith
