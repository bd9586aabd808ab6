// Small pure functions that test and take apart fill-value texts: white space and number tests,
// a tokeniser over a delimiter set, trimming, cutting at a separator and splitting "table.field".
// None of them raises an error.
#pragma once

#include <string>

namespace rowsmith {

// Tab, line feed, carriage return and blank; nothing else.
bool IsSpace(char c);
// True when StrToInt / StrToFloat accept the text.
bool IsInteger(const std::string& text);
bool IsFloat(const std::string& text);

// The delimiter set shared by IsDelimiter and NextToken; empty at start (nothing is a delimiter).
// At most 255 characters are kept.
void SetDelimiters(const std::string& delimiters);
const std::string& Delimiters();
bool IsDelimiter(char c);

// Skips leading white space and cuts the next token: a run of delimiters, or a run of characters
// that are neither white space nor delimiters. `text` keeps what follows the token.
std::string NextToken(std::string& text);

std::string TrimSpaces(const std::string& text);
// The trimmed part before / after the first `separator`; the whole text, untrimmed, without one.
std::string LeftOf(const std::string& separator, const std::string& text);
std::string RightOf(const std::string& separator, const std::string& text);

struct TableFieldParts {
    std::string table;
    std::string field;
};
// Splits at the first "."; without one the table part is empty and the field part is the text.
TableFieldParts SplitTableField(const std::string& text);

// The text with the ASCII letters in upper case; other bytes stay. Names that compare without
// regard to case (aliases, column names, SQL type words) compare in this form.
std::string UpperCase(std::string text);

}  // namespace rowsmith
