#include "engine/mariadb/mariadb_column.h"

#include <charconv>

#include "engine/currency.h"
#include "engine/database_errors.h"
#include "engine/mariadb/mariadb_link.h"

namespace rowsmith {

namespace {

struct TypeRule {
    const char* dataType;
    TFieldType type;
    MariaKind kind;
    bool wide;
};

// Types the driver knows; every other type (enum, set, json, ...) is text the server checks.
// Unsigned variants are told apart below; the server checks every real range in strict mode.
constexpr TypeRule kRules[] = {
    {"tinyint", ftSmallint, MariaKind::Integer, false},
    {"smallint", ftSmallint, MariaKind::Integer, false},
    {"mediumint", ftInteger, MariaKind::Integer, false},
    {"int", ftInteger, MariaKind::Integer, false},
    {"bigint", ftInteger, MariaKind::Integer, true},
    {"year", ftSmallint, MariaKind::Integer, false},
    {"float", ftFloat, MariaKind::Real, false},
    {"double", ftFloat, MariaKind::Real, false},
    {"decimal", ftBCD, MariaKind::Real, false},
    {"char", ftString, MariaKind::Text, false},
    {"varchar", ftString, MariaKind::Text, false},
    {"tinytext", ftString, MariaKind::Text, false},
    {"text", ftString, MariaKind::Text, false},
    {"mediumtext", ftString, MariaKind::Text, false},
    {"longtext", ftString, MariaKind::Text, false},
    {"date", ftDate, MariaKind::Text, false},
    {"time", ftTime, MariaKind::Moment, false},
    {"datetime", ftDateTime, MariaKind::Moment, false},
    {"timestamp", ftDateTime, MariaKind::Moment, false},
    {"binary", ftBytes, MariaKind::Bytes, false},
    {"varbinary", ftVarBytes, MariaKind::Bytes, false},
    {"tinyblob", ftBlob, MariaKind::Bytes, false},
    {"blob", ftBlob, MariaKind::Bytes, false},
    {"mediumblob", ftBlob, MariaKind::Bytes, false},
    {"longblob", ftBlob, MariaKind::Bytes, false},
    {"bit", ftBytes, MariaKind::Bytes, false},
};

}  // namespace

MariaColumn DescribeMariaColumn(const std::string& name, const std::string& dataType,
                                const std::string& columnType, long long maxLength,
                                const std::string& extra, int fractionDigits) {
    MariaColumn column;
    column.fractionDigits = fractionDigits;
    column.info.name = name;
    column.info.declaredType = columnType;
    column.info.type = ftString;
    for (const TypeRule& rule : kRules) {
        if (dataType == rule.dataType) {
            column.info.type = rule.type;
            column.kind = rule.kind;
            column.info.wide = rule.wide;
            break;
        }
    }
    const bool isUnsigned = columnType.find("unsigned") != std::string::npos;
    if (column.kind == MariaKind::Integer && isUnsigned) {
        // 0..255 and 0..65535 fit a word; 0..4294967295 needs 64 bits.
        if (dataType == "tinyint" || dataType == "smallint") {
            column.info.type = ftWord;
        } else if (dataType == "int") {
            column.info.wide = true;
        } else if (dataType == "bigint") {
            column.info.unsignedWide = true;
        }
    }
    // BOOLEAN is TINYINT(1) to the server; BIT(1) holds one bit, read back as a number.
    if (columnType == "tinyint(1)") {
        column.info.type = ftBoolean;
        column.kind = MariaKind::Boolean;
    } else if (columnType == "bit(1)") {
        column.info.type = ftBoolean;
        column.kind = MariaKind::Bit;
    }
    // MariaDB has no money type; DECIMAL(19,4) is how money is stored where there is none.
    if (columnType == "decimal(19,4)") {
        column.info.type = ftCurrency;
        column.kind = MariaKind::Money;
    }
    if (column.kind == MariaKind::Integer && extra.find("auto_increment") != std::string::npos) {
        column.info.type = ftAutoInc;
    }
    if (column.kind == MariaKind::Moment) {
        column.info.fractionDigits = fractionDigits;
    }
    // DATE and DATETIME take the years 1000 to 9999; TIMESTAMP counts 32-bit seconds from 1970.
    if (dataType == "date" || dataType == "datetime") {
        column.info.firstSecond = -30610224000;
    } else if (dataType == "timestamp") {
        column.info.firstSecond = 1;
        column.info.lastSecond = 2147483647;
    }
    if ((dataType == "char" || dataType == "varchar") && maxLength > 0) {
        column.info.size = static_cast<int>(maxLength);
    }
    column.selectExpr = QuoteMariaIdentifier(name);
    if (column.kind == MariaKind::Bit) {
        column.selectExpr += " + 0";
    }
    return column;
}

MariaBind MariaBindOf(const MariaColumn& column) {
    if (column.kind == MariaKind::Bytes) {
        return MariaBind::Bytes;
    }
    return column.info.unsignedWide ? MariaBind::Unsigned : MariaBind::Plain;
}

// Where the digits of a second begin in a time's text, or npos; `end` past the last one that is
// not a trailing zero.
std::size_t FractionOf(const std::string& text, std::size_t& end) {
    const std::size_t point = text.rfind('.');
    if (point == std::string::npos) {
        return point;
    }
    end = text.find_last_not_of('0');
    return point + 1;
}

void CheckMariaValue(const MariaColumn& column, const FieldValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    std::size_t end = 0;
    const std::size_t digits =
        column.kind == MariaKind::Moment && text ? FractionOf(*text, end) : std::string::npos;
    if (digits == std::string::npos || end + 1 <= digits + column.fractionDigits) {
        return;
    }
    throw EDBEngineError(
        "Incorrect " + std::string(column.info.type == ftTime ? "time" : "datetime") + " value: '" +
        *text + "' for column '" + column.info.name + "', which " +
        (column.fractionDigits == 0
             ? std::string("keeps whole seconds")
             : "keeps " + std::to_string(column.fractionDigits) + " digits of a second"));
}

FieldValue ReadMariaValue(FieldValue value, MariaKind kind) {
    auto* text = std::get_if<std::string>(&value);
    // The server writes every digit the column keeps; a time reads back as it was written.
    std::size_t end = 0;
    if (kind == MariaKind::Moment && text && FractionOf(*text, end) != std::string::npos) {
        text->resize((*text)[end] == '.' ? end : end + 1);
        return value;
    }
    if (text == nullptr) {
        if (kind == MariaKind::Boolean || kind == MariaKind::Bit) {
            if (const auto* integer = std::get_if<std::int64_t>(&value)) {
                return std::int64_t{*integer != 0 ? 1 : 0};
            }
        }
        return value;
    }
    // DECIMAL(19,4) has more digits than a double keeps.
    Currency amount;
    if (kind == MariaKind::Money && ReadCurrency(*text, amount)) {
        return amount;
    }
    if (kind == MariaKind::Real || kind == MariaKind::Bit || kind == MariaKind::Boolean) {
        const char* begin = text->data();
        const char* end = begin + text->size();
        if (kind == MariaKind::Real) {
            double number = 0;
            const auto result = std::from_chars(begin, end, number);
            if (result.ec == std::errc() && result.ptr == end) {
                return number;
            }
        } else {
            std::int64_t number = 0;
            const auto result = std::from_chars(begin, end, number);
            if (result.ec == std::errc() && result.ptr == end) {
                return std::int64_t{number != 0 ? 1 : 0};
            }
        }
    }
    return value;
}

}  // namespace rowsmith
