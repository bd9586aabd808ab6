// PgColumn: a PostgreSQL column as the driver handles it: the ColumnInfo that cursors see, the
// way its values travel as text, and the expression that reads it. Mapping from the catalog and
// converting values both live here, so the table code never looks at type names.
#pragma once

#include <string>

#include "engine/driver.h"

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

// Appends the value to a COPY text line (a tab first unless it is the first value). Raises
// EDBEngineError for text the server could never store (a zero byte outside a bytea column).
void AppendPgValue(std::string& line, bool first, const FieldValue& value, PgKind kind);

// A value the server sent in text form.
FieldValue ReadPgValue(const char* text, int length, PgKind kind);

}  // namespace rowsmith
