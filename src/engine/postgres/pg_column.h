// PgColumn: a PostgreSQL column as the driver handles it: the ColumnInfo that cursors see, the
// way its values travel as text, and the expression that reads it. Mapping from the catalog and
// converting values both live here, so the table code never looks at type names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/driver.h"
#include "engine/postgres/pg_link.h"

namespace rowsmith {

// How a column's values are written and read as text.
enum class PgKind { Integer, Real, Money, Boolean, Text, Bytes };

struct PgColumn {
    ColumnInfo info;
    PgKind kind = PgKind::Text;
    // The column's type in SQL (format_type), for casts of bound key values.
    std::string sqlType;
    // What SELECT lists for it: the quoted name, or a cast to a form the cursors read.
    std::string selectExpr;
};

// From the catalog: `baseType` is pg_type.typname (of the domain's base type for a domain),
// `typmod` its modifier, `autoIncrement` a nextval default or an identity.
PgColumn DescribePgColumn(const std::string& name, const std::string& sqlType,
                          const std::string& baseType, int typmod, bool autoIncrement);

// The text the server reads for a value of the column, as a bound parameter: none for an empty
// value (NULL), integers in decimal, reals as the shortest text that reads back the same double
// (money in fixed notation, which it takes without an exponent), amounts with every digit, bytes
// in bytea's hex form and text as it is. A COPY line holds this text escaped (pg_copy_text.h).
// Numbers and bytes are written into `scratch` and text is given where it stands, so a fill
// allocates nothing here.
// Raises EDBEngineError for text the server could never store (a zero byte outside bytea).
std::optional<std::string_view> PgParamText(const FieldValue& value, PgKind kind,
                                            std::string& scratch);
// Numbers' parameter texts, appended to `text`.
void AppendPgNumber(std::string& text, std::int64_t number);
void AppendPgNumber(std::string& text, double number, PgKind kind);
// The hex form of bytes after its "\x", appended to `text`.
void AppendPgHex(std::string& text, std::string_view bytes);
// Raises the error of a text the server could never store: one holding a zero byte.
void CheckPgText(std::string_view text);
// The same text as a parameter of its own.
PgText PgParam(const FieldValue& value, PgKind kind);

// A key part as a parameter: text as it is, integers in decimal.
PgText PgKeyParam(const FieldValue& part);

// A value the server sent in text form.
FieldValue ReadPgValue(const char* text, int length, PgKind kind);

}  // namespace rowsmith
