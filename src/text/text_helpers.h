// Small pure functions that test and take apart fill-value texts: white space and number tests,
// a tokeniser over a delimiter set, trimming, cutting at a separator and splitting "table.field".
// None of them raises an error or keeps any state: each caller names its own delimiters.
#pragma once

#include <string>
#include <string_view>

namespace rowsmith {

// Tab, line feed, carriage return and blank; nothing else.
bool IsSpace(char c);
// The decimal digits 0 to 9.
constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
// Reads exactly `count` decimal digits at `at` into `number`; false when any is missing.
bool FixedDigits(std::string_view text, std::size_t at, std::size_t count, int& number);
// True when StrToInt / StrToFloat accept the text.
bool IsInteger(const std::string& text);
bool IsFloat(const std::string& text);

// Whether `c` is one of `delimiters`; with none, no character is a delimiter.
bool IsDelimiter(char c, std::string_view delimiters);

// Skips leading white space and cuts the next token: a run of characters of `delimiters`, or a
// run of characters that are neither white space nor delimiters. `text` keeps what follows the
// token.
std::string NextToken(std::string& text, std::string_view delimiters);

std::string TrimSpaces(const std::string& text);
// The text without blanks at either end: the blank is the only white space the standard
// conversions take around a value, so texts that columns convert (dates, booleans) trim the same.
std::string TrimBlanks(const std::string& text);
// The trimmed part before / after the first `separator`; the whole text, untrimmed, without one.
std::string LeftOf(const std::string& separator, const std::string& text);
std::string RightOf(const std::string& separator, const std::string& text);

struct TableFieldParts {
    std::string table;
    std::string field;
};
// Splits at the first "."; without one the table part is empty and the field part is the text.
TableFieldParts SplitTableField(const std::string& text);

// The text with the ASCII letters in upper case; other bytes stay.
std::string UpperCase(std::string text);
// The comparison of names that do not regard letter case (aliases, column names found by name,
// SQL type words, keys of sections-and-keys files): the texts as UpperCase gives them, compared
// byte by byte. CompareText is negative, zero or positive as a sorts before, with or after b.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

}  // namespace rowsmith
