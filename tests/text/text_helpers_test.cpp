#include "text/text_helpers.h"

#include <gtest/gtest.h>

#include <vector>

namespace rowsmith {
namespace {

using Texts = std::vector<std::string>;

TEST(TextHelpersTest, WhiteSpaceIsExactlyFourCharacters) {
    for (const char c : {'\t', '\n', '\r', ' '}) {
        EXPECT_TRUE(IsSpace(c)) << int(c);
    }
    for (const char c : {'\f', '\v', '\0', static_cast<char>(160), 'a'}) {
        EXPECT_FALSE(IsSpace(c)) << int(c);
    }
}

// Reads the text token by token until nothing is left.
Texts Tokens(std::string text, std::string_view delimiters) {
    Texts tokens;
    do {
        tokens.push_back(NextToken(text, delimiters));
    } while (!text.empty());
    return tokens;
}

TEST(TextHelpersTest, NextToken) {
    static const struct {
        const char* delimiters;
        const char* text;
        Texts tokens;
    } cases[] = {{"", "1-5", {"1-5"}},
                 {"", "", {""}},
                 {"-,", "  12-34", {"12", "-", "34"}},
                 {"-,", "1 - 5", {"1", "-", "5"}},
                 {"-,", "-5-10", {"-", "5", "-", "10"}},
                 {"-,", "1--5", {"1", "--", "5"}},
                 {"-,", "1,5", {"1", ",", "5"}},
                 {"-,", "1-,5", {"1", "-,", "5"}},
                 {"-,", "   ", {""}},
                 {"-,", "1 ", {"1", ""}}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.tokens, Tokens(c.text, c.delimiters)) << c.text;
    }
    EXPECT_TRUE(IsDelimiter('a', "-ab"));
    EXPECT_FALSE(IsDelimiter('c', "-ab"));
    EXPECT_FALSE(IsDelimiter('-', ""));
    EXPECT_FALSE(IsDelimiter('\0', ""));
}

TEST(TextHelpersTest, TrimmingAndCutting) {
    EXPECT_EQ("ab", TrimSpaces("\t ab\r"));
    EXPECT_EQ("a b", TrimSpaces("a b"));
    EXPECT_EQ("", TrimSpaces(" \n\t"));
    EXPECT_EQ("\fa\v", TrimSpaces("\fa\v"));
    // separator, text, LeftOf, RightOf
    static const Texts cases[] = {{"-", " 1 - 5 ", "1", "5"}, {"-", " 7 ", " 7 ", " 7 "},
                                  {"-", "1-", "1", ""},       {"-", "-5", "", "5"},
                                  {"-", "1-2-3", "1", "2-3"}, {"..", "a .. b", "a", "b"},
                                  {"", " x ", " x ", " x "}};
    for (const auto& c : cases) {
        EXPECT_EQ(c[2], LeftOf(c[0], c[1])) << c[1];
        EXPECT_EQ(c[3], RightOf(c[0], c[1])) << c[1];
    }
}

TEST(TextHelpersTest, TrimBlanksTakesTheBlankOnly) {
    EXPECT_EQ("a b", TrimBlanks("  a b "));
    EXPECT_EQ("\ta\r", TrimBlanks(" \ta\r "));
    EXPECT_EQ("", TrimBlanks("   "));
}

TEST(TextHelpersTest, NamesCompareWithoutRegardToCase) {
    EXPECT_TRUE(SameText("CustNo", "CUSTNO"));
    EXPECT_TRUE(SameText("", ""));
    EXPECT_FALSE(SameText("CustNo", "CustNo "));
    // Only the ASCII letters fold; other bytes compare as they are.
    EXPECT_FALSE(SameText("\xe4", "\xc4"));
    EXPECT_FALSE(SameText("[", "{"));
    EXPECT_EQ(0, CompareText("demo", "DEMO"));
    EXPECT_LT(CompareText("alpha", "Beta"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_LT(CompareText("ab", "ABC"), 0);
    // Sorted as the upper-case forms sort: "_" lies between the upper- and lower-case letters.
    EXPECT_LT(CompareText("Z", "_"), 0);
    EXPECT_LT(CompareText("z", "_"), 0);
    EXPECT_GT(CompareText("\xe4", "z"), 0);
}

TEST(TextHelpersTest, SplitTableField) {
    // text, table part, field part
    static const Texts cases[] = {{"Orders.CustNo", "Orders", "CustNo"},
                                  {"CustNo", "", "CustNo"},
                                  {"p.q.r", "p", "q.r"},
                                  {".x", "", "x"},
                                  {" a . b ", " a ", " b "},
                                  {"", "", ""}};
    for (const auto& c : cases) {
        const TableFieldParts parts = SplitTableField(c[0]);
        EXPECT_EQ(Texts({c[1], c[2]}), Texts({parts.table, parts.field})) << c[0];
    }
}

}  // namespace
}  // namespace rowsmith
