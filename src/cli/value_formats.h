// How rowsmith-fill writes one column value for other tools: a CSV field, a JSON value, an SQL
// literal, or a cell of the aligned table. Each form is exact for every value a column can hold:
// NULL, the empty text, numbers, bytes of any value and texts that are not valid UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace rowsmith {

class CursorField;

// The SQL that --export writes follows the alias's database.
enum class SqlDialect { SQLite, PostgreSQL, MariaDB };

// RFC 4180: NULL is an empty unquoted field, the empty text "", a field holding a comma, quote,
// line break or leading or trailing blank is quoted. Bytes columns are written in base64.
void AppendCsvValue(std::string& out, const CursorField& field);
void AppendCsvText(std::string& out, std::string_view text);

// Amounts of money are written as exact decimal numbers in all three.
//
// JSON: null, numbers as numbers (a real that is not finite as the string "NaN", "Infinity" or
// "-Infinity"), booleans as true and false, bytes as a base64 string, everything else a string.
void AppendJsonValue(std::string& out, const CursorField& field);
// A JSON string of `text`. A byte that is not part of valid UTF-8 is written as \udc80 to
// \udcff, which Python's json module with the surrogateescape error handler turns back into the
// same byte.
void AppendJsonString(std::string& out, std::string_view text);

// An SQL literal for an INSERT in `dialect`: NULL, numbers, TRUE/FALSE, quoted texts, and bytes
// in the dialect's hexadecimal form.
void AppendSqlValue(std::string& out, const CursorField& field, SqlDialect dialect);
// A table or column name quoted for `dialect`.
void AppendSqlIdentifier(std::string& out, std::string_view name, SqlDialect dialect);

// The value for a person reading the aligned table: its usual text, with control characters and
// backslashes escaped (\n, \t, \r, \\, \xNN) so that every record keeps to one line.
std::string TableCellText(const CursorField& field);

void AppendBase64(std::string& out, std::string_view bytes);

}  // namespace rowsmith
