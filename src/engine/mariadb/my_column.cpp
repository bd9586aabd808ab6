#include "engine/mariadb/my_column.h"

#include <charconv>

#include "engine/currency.h"
#include "engine/database_errors.h"
#include "engine/mariadb/my_link.h"

namespace rowsmith {

namespace {

struct TypeRule {
    const char* dataType;
    TFieldType type;
    MyKind kind;
    bool wide;
};

// Types the driver knows; every other type (enum, set, json, ...) is text the server checks.
// Unsigned variants are told apart below; the server checks every real range in strict mode.
constexpr TypeRule kRules[] = {
    {"tinyint", ftSmallint, MyKind::Integer, false},
    {"smallint", ftSmallint, MyKind::Integer, false},
    {"mediumint", ftInteger, MyKind::Integer, false},
    {"int", ftInteger, MyKind::Integer, false},
    {"bigint", ftInteger, MyKind::Integer, true},
    {"year", ftSmallint, MyKind::Integer, false},
    {"float", ftFloat, MyKind::Real, false},
    {"double", ftFloat, MyKind::Real, false},
    {"decimal", ftBCD, MyKind::Real, false},
    {"char", ftString, MyKind::Text, false},
    {"varchar", ftString, MyKind::Text, false},
    {"tinytext", ftString, MyKind::Text, false},
    {"text", ftString, MyKind::Text, false},
    {"mediumtext", ftString, MyKind::Text, false},
    {"longtext", ftString, MyKind::Text, false},
    {"date", ftDate, MyKind::Text, false},
    {"time", ftTime, MyKind::Moment, false},
    {"datetime", ftDateTime, MyKind::Moment, false},
    {"timestamp", ftDateTime, MyKind::Moment, false},
    {"binary", ftBytes, MyKind::Bytes, false},
    {"varbinary", ftVarBytes, MyKind::Bytes, false},
    {"tinyblob", ftBlob, MyKind::Bytes, false},
    {"blob", ftBlob, MyKind::Bytes, false},
    {"mediumblob", ftBlob, MyKind::Bytes, false},
    {"longblob", ftBlob, MyKind::Bytes, false},
    {"bit", ftBytes, MyKind::Bytes, false},
};

}  // namespace

MyColumn DescribeMyColumn(const std::string& name, const std::string& dataType,
                          const std::string& columnType, long long maxLength,
                          const std::string& extra, int fractionDigits) {
    MyColumn column;
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
    if (column.kind == MyKind::Integer && isUnsigned) {
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
        column.kind = MyKind::Boolean;
    } else if (columnType == "bit(1)") {
        column.info.type = ftBoolean;
        column.kind = MyKind::Bit;
    }
    // MariaDB has no money type; DECIMAL(19,4) is how money is stored where there is none.
    if (columnType == "decimal(19,4)") {
        column.info.type = ftCurrency;
        column.kind = MyKind::Money;
    }
    if (column.kind == MyKind::Integer && extra.find("auto_increment") != std::string::npos) {
        column.info.type = ftAutoInc;
    }
    if (column.kind == MyKind::Moment) {
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
    column.selectExpr = QuoteMyIdentifier(name);
    if (column.kind == MyKind::Bit) {
        column.selectExpr += " + 0";
    }
    return column;
}

MyBind MyBindOf(const MyColumn& column) {
    if (column.kind == MyKind::Bytes) {
        return MyBind::Bytes;
    }
    return column.info.unsignedWide ? MyBind::Unsigned : MyBind::Plain;
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

void CheckMyValue(const MyColumn& column, const FieldValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    std::size_t end = 0;
    const std::size_t digits =
        column.kind == MyKind::Moment && text ? FractionOf(*text, end) : std::string::npos;
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

FieldValue ReadMyValue(FieldValue value, MyKind kind) {
    auto* text = std::get_if<std::string>(&value);
    // The server writes every digit the column keeps; a time reads back as it was written.
    std::size_t end = 0;
    if (kind == MyKind::Moment && text && FractionOf(*text, end) != std::string::npos) {
        text->resize((*text)[end] == '.' ? end : end + 1);
        return value;
    }
    if (text == nullptr) {
        if (kind == MyKind::Boolean || kind == MyKind::Bit) {
            if (const auto* integer = std::get_if<std::int64_t>(&value)) {
                return std::int64_t{*integer != 0 ? 1 : 0};
            }
        }
        return value;
    }
    // DECIMAL(19,4) has more digits than a double keeps.
    Currency amount;
    if (kind == MyKind::Money && ReadCurrency(*text, amount)) {
        return amount;
    }
    if (kind == MyKind::Real || kind == MyKind::Bit || kind == MyKind::Boolean) {
        const char* begin = text->data();
        const char* end = begin + text->size();
        if (kind == MyKind::Real) {
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
