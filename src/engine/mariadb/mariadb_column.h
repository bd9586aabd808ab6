// MariaColumn: a MariaDB column as the driver handles it: the ColumnInfo that cursors see, how its
// values are bound and read, and the expression that reads it. Mapping from the information
// schema and converting values both live here.
#pragma once

#include <string>

#include "engine/driver.h"
#include "engine/mariadb/mariadb_link.h"

namespace rowsmith {

// How a column's values are bound and read.
enum class MariaKind { Integer, Real, Money, Boolean, Bit, Text, Moment, Bytes };

struct MariaColumn {
    ColumnInfo info;
    MariaKind kind = MariaKind::Text;
    // What SELECT lists for it: the quoted name, or an expression the cursors read.
    std::string selectExpr;
    // Digits of a second a TIME, DATETIME or TIMESTAMP column keeps.
    int fractionDigits = 0;
};

// From information_schema.columns: `dataType` is DATA_TYPE, `columnType` COLUMN_TYPE (with the
// size and "unsigned"), `maxLength` CHARACTER_MAXIMUM_LENGTH, `extra` EXTRA, `fractionDigits`
// DATETIME_PRECISION.
MariaColumn DescribeMariaColumn(const std::string& name, const std::string& dataType,
                                const std::string& columnType, long long maxLength,
                                const std::string& extra, int fractionDigits);

// Raises EDBEngineError for a value the server would change without a word: a time with more
// digits of a second than the column keeps, which the server cuts even in strict mode.
void CheckMariaValue(const MariaColumn& column, const FieldValue& value);

// How the column's values are bound.
MariaBind MariaBindOf(const MariaColumn& column);

// A value as the server sent it, in the form the cursors read for the column.
FieldValue ReadMariaValue(FieldValue value, MariaKind kind);

}  // namespace rowsmith
