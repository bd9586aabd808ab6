#include "engine/sqlite/sqlite_types.h"

#include <cstdlib>
#include <string_view>
#include <utility>

#include "text/text_helpers.h"

namespace rowsmith {

namespace {

struct NamedType {
    std::string_view name;
    TFieldType type;
    bool wide;
};

// Type names compared whole, after upper-casing and folding runs of blanks to one.
constexpr NamedType kNamedTypes[] = {
    {"SMALLINT", ftSmallint, false},
    {"INT2", ftSmallint, false},
    {"TINYINT", ftSmallint, false},
    {"INT", ftInteger, false},
    {"INTEGER", ftInteger, false},
    {"MEDIUMINT", ftInteger, false},
    {"INT4", ftInteger, false},
    {"BIGINT", ftInteger, true},
    {"INT8", ftInteger, true},
    {"UNSIGNED BIG INT", ftInteger, true},
    {"WORD", ftWord, false},
    {"BOOLEAN", ftBoolean, false},
    {"BOOL", ftBoolean, false},
    {"REAL", ftFloat, false},
    {"DOUBLE", ftFloat, false},
    {"DOUBLE PRECISION", ftFloat, false},
    {"FLOAT", ftFloat, false},
    {"FLOAT4", ftFloat, false},
    {"FLOAT8", ftFloat, false},
    {"MONEY", ftCurrency, false},
    {"CURRENCY", ftCurrency, false},
    {"DECIMAL", ftBCD, false},
    {"NUMERIC", ftBCD, false},
    {"DATE", ftDate, false},
    {"TIME", ftTime, false},
    {"DATETIME", ftDateTime, false},
    {"TIMESTAMP", ftDateTime, false},
    {"VARCHAR", ftString, false},
    {"VARCHAR2", ftString, false},
    {"NVARCHAR", ftString, false},
    {"CHAR", ftString, false},
    {"NCHAR", ftString, false},
    {"CHARACTER", ftString, false},
    {"CHARACTER VARYING", ftString, false},
    {"VARYING CHARACTER", ftString, false},
    {"NATIVE CHARACTER", ftString, false},
    {"TEXT", ftString, false},
    {"CLOB", ftString, false},
    {"STRING", ftString, false},
    {"BLOB", ftBlob, false},
    {"BYTEA", ftBlob, false},
    {"BINARY", ftBlob, false},
    {"VARBINARY", ftBlob, false},
};

// SQLite's affinity rules, for type names the list does not know.
TFieldType AffinityType(const std::string& name) {
    const auto has = [&name](const char* part) { return name.find(part) != std::string::npos; };
    if (has("INT")) {
        return ftInteger;
    }
    if (has("CHAR") || has("CLOB") || has("TEXT")) {
        return ftString;
    }
    if (has("BLOB")) {
        return ftBlob;
    }
    if (has("REAL") || has("FLOA") || has("DOUB")) {
        return ftFloat;
    }
    return ftString;
}

}  // namespace

ColumnInfo SqliteColumnInfo(const std::string& name, const std::string& declaredType,
                            bool rowidAlias) {
    ColumnInfo column;
    column.name = name;
    column.declaredType = declaredType;
    if (rowidAlias) {
        column.type = ftAutoInc;
        column.wide = true;
        return column;
    }

    // The base name, upper-cased with single blanks, and the first number in parentheses.
    std::string base;
    const auto open = declaredType.find('(');
    for (char c : declaredType.substr(0, open)) {
        if (!IsSpace(c)) {
            base += c;
        } else if (!base.empty() && base.back() != ' ') {
            base += ' ';
        }
    }
    if (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    base = UpperCase(std::move(base));
    int size = 0;
    if (open != std::string::npos) {
        size = std::atoi(declaredType.c_str() + open + 1);
    }

    column.type = AffinityType(base);
    for (const auto& named : kNamedTypes) {
        if (named.name == base) {
            column.type = named.type;
            column.wide = named.wide;
            break;
        }
    }
    if (column.type == ftString && size > 0) {
        column.size = size;
    }
    return column;
}

}  // namespace rowsmith
