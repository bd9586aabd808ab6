// The text format of COPY FROM STDIN: one line per row, values separated by tabs, \N for NULL,
// backslash escapes for the characters that would break the line. A fill run writes its rows in
// this form, each value the parameter text of PgParamText escaped, and a batch that the server
// refused is decoded again into parameters to replay it row by row.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/postgres/pg_column.h"
#include "engine/postgres/pg_link.h"

namespace rowsmith {

// Appends one value (none for NULL) to a row being built, with the tab before it unless it is the
// first.
void AppendCopyValue(std::string& line, bool first, std::optional<std::string_view> value);

// Appends the value of a column of `kind` as AppendCopyValue appends its PgParamText, without
// the text in between: numbers and bytes go straight into the line, text in one piece unless it
// holds a character to escape. Raises as PgParamText does.
void AppendCopyField(std::string& line, bool first, const FieldValue& value, PgKind kind);

// Splits one line (without its newline) back into the values that built it.
std::vector<PgText> DecodeCopyLine(std::string_view line);

}  // namespace rowsmith
