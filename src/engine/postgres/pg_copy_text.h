// The text format of COPY FROM STDIN: one line per row, values separated by tabs, \N for NULL,
// backslash escapes for the characters that would break the line. The fill writes its rows in
// this form, and a batch that the server refused is decoded again to replay it row by row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/postgres/pg_link.h"

namespace rowsmith {

// Appends one value to a row being built, with the tab before it unless it is the first.
void AppendCopyValue(std::string& line, bool first, const PgText& value);
// Appends text escaped for a COPY line, without a separator.
void AppendCopyText(std::string& line, std::string_view text);

// Splits one line (without its newline) back into the values that built it.
std::vector<PgText> DecodeCopyLine(std::string_view line);

}  // namespace rowsmith
