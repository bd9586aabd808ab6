#include "text/text_helpers.h"

#include <gtest/gtest.h>

#include <vector>

namespace rowsmith {
namespace {

TEST(TextHelpersTest, WhiteSpaceIsExactlyFourCharacters) {
    for (const char c : {'\t', '\n', '\r', ' '}) {
        EXPECT_TRUE(IsSpace(c)) << int(c);
    }
    for (const char c : {'\f', '\v', '\0', static_cast<char>(160), 'a'}) {
        EXPECT_FALSE(IsSpace(c)) << int(c);
    }
}

// Reads the text token by token until nothing is left.
std::vector<std::string> Tokens(std::string text) {
    std::vector<std::string> tokens;
    do {
        tokens.push_back(NextToken(text));
    } while (!text.empty());
    return tokens;
}

TEST(TextHelpersTest, NextToken) {
    static const struct {
        const char* delimiters;
        const char* text;
        std::vector<std::string> tokens;
    } cases[] = {
        {"", "1-5", {"1-5"}},
        {"", "", {""}},
        {"-,", "  12-34", {"12", "-", "34"}},
        {"-,", "1 - 5", {"1", "-", "5"}},
        {"-,", "-5-10", {"-", "5", "-", "10"}},
        {"-,", "1--5", {"1", "--", "5"}},
        {"-,", "1,5", {"1", ",", "5"}},
        {"-,", "1-,5", {"1", "-,", "5"}},
        {"-,", "   ", {""}},
        {"-,", "1 ", {"1", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        SetDelimiters(c.delimiters);
        EXPECT_EQ(c.tokens, Tokens(c.text));
    }
    SetDelimiters("");
    EXPECT_FALSE(IsDelimiter('-'));
    EXPECT_FALSE(IsDelimiter('\0'));
}

TEST(TextHelpersTest, DelimiterSetKeepsAtMost255Characters) {
    SetDelimiters(std::string(254, '-') + "ab");
    EXPECT_EQ(255u, Delimiters().size());
    EXPECT_TRUE(IsDelimiter('a'));
    EXPECT_FALSE(IsDelimiter('b'));
    SetDelimiters("");
}

TEST(TextHelpersTest, TrimmingAndCutting) {
    EXPECT_EQ("ab", TrimSpaces("\t ab\r"));
    EXPECT_EQ("a b", TrimSpaces("a b"));
    EXPECT_EQ("", TrimSpaces(""));
    EXPECT_EQ("", TrimSpaces(" \n\t"));
    EXPECT_EQ("\fa\v", TrimSpaces("\fa\v"));

    static const struct {
        const char* separator;
        const char* text;
        const char* left;
        const char* right;
    } cases[] = {
        {"-", " 1 - 5 ", "1", "5"}, {"-", " 7 ", " 7 ", " 7 "}, {"-", "1-", "1", ""},
        {"-", "-5", "", "5"},       {"-", "1-2-3", "1", "2-3"}, {"..", "a .. b", "a", "b"},
        {"", " x ", " x ", " x "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.left, LeftOf(c.separator, c.text));
        EXPECT_EQ(c.right, RightOf(c.separator, c.text));
    }
}

TEST(TextHelpersTest, SplitTableField) {
    static const struct {
        const char* text;
        const char* table;
        const char* field;
    } cases[] = {
        {"Orders.CustNo", "Orders", "CustNo"},
        {"CustNo", "", "CustNo"},
        {"p.q.r", "p", "q.r"},
        {".x", "", "x"},
        {" a . b ", " a ", " b "},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const TableFieldParts parts = SplitTableField(c.text);
        EXPECT_EQ(c.table, parts.table) << c.text;
        EXPECT_EQ(c.field, parts.field) << c.text;
    }
}

}  // namespace
}  // namespace rowsmith
