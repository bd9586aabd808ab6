#include "fill/text_pattern.h"

#include <gtest/gtest.h>

namespace rowsmith {
namespace {

using Kind = TextPattern::Kind;
using Modifier = TextPattern::Modifier;

// The pieces of a pattern written back one letter a kind: T(text) # ? * {name|modifiers}.
std::string Shape(const TextPattern& pattern) {
    std::string shape;
    for (const TextPattern::Piece& piece : pattern.Pieces()) {
        switch (piece.kind) {
            case Kind::Text:
                shape += "T(" + piece.text + ")";
                break;
            case Kind::Digit:
                shape += "#";
                break;
            case Kind::Letter:
                shape += "?";
                break;
            case Kind::LetterOrDigit:
                shape += "*";
                break;
            case Kind::Name:
                shape += "{" + piece.text;
                for (Modifier modifier : piece.modifiers) {
                    static const char* const kWords[] = {"lower", "upper", "ascii", "first"};
                    shape += std::string("|") + kWords[static_cast<int>(modifier)];
                }
                shape += "}";
                break;
        }
    }
    return shape;
}

TEST(TextPattern, ReadsEveryPlaceholder) {
    static const struct {
        const char* pattern;
        const char* shape;
    } cases[] = {
        {"ORD-####-??", "T(ORD-)####T(-)??"},
        {"+1-555-###-####", "T(+1-555-)###T(-)####"},
        {"***", "***"},
        {"\\#\\{x\\}\\\\", "T(#{x}\\)"},
        {"{FirstName|lower|ascii}.{LastName|lower|ascii}@{email-domains}",
         "{FirstName|lower|ascii}T(.){LastName|lower|ascii}T(@){email-domains}"},
        {"{cities}, {countries}", "{cities}T(, ){countries}"},
        {"{lists/parts.txt|upper|first}", "{lists/parts.txt|upper|first}"},
        {"plain text", "T(plain text)"},
        {"", ""},
    };
    for (const auto& c : cases) {
        TextPattern pattern;
        EXPECT_EQ(TextPattern::Parse(c.pattern, pattern), "") << c.pattern;
        EXPECT_EQ(Shape(pattern), c.shape) << c.pattern;
    }
}

TEST(TextPattern, RefusesWhatIsNoPatternSayingWhy) {
    static const struct {
        const char* pattern;
        const char* reason;
    } cases[] = {
        {"ORD-{cities", "the { at character 5 has no }"},
        {"{a{b}}", "the { at character 1 has no }"},
        {"x}", "the } at character 2 has no {"},
        {"{a}}", "the } at character 4 has no {"},
        {"{}", "a pair of braces without a name"},
        {"{|lower}", "a pair of braces without a name"},
        {"{a|Lower}", "unknown modifier \"Lower\" in {a|Lower}: lower, upper, ascii or first"},
        {"{a|lower|}", "unknown modifier \"\" in {a|lower|}: lower, upper, ascii or first"},
        {"ab\\", "the \\ at its end has no character to take"},
    };
    for (const auto& c : cases) {
        TextPattern pattern;
        EXPECT_EQ(TextPattern::Parse(c.pattern, pattern), c.reason) << c.pattern;
    }
}

TEST(TextPattern, NamesComeOnceInTheirOrder) {
    TextPattern pattern;
    ASSERT_EQ(TextPattern::Parse("{b}{a|first}-{b|upper}{c}", pattern), "");
    EXPECT_EQ(pattern.Names(), (std::vector<std::string>{"b", "a", "c"}));
}

TEST(TextPattern, ModifiersApplyLeftToRight) {
    EXPECT_EQ(TextPattern::Modify("Émile", {Modifier::Lower, Modifier::Ascii}), "emile");
    EXPECT_EQ(TextPattern::Modify("Émile", {Modifier::First}), "É");
    EXPECT_EQ(TextPattern::Modify("émile", {Modifier::First, Modifier::Upper}), "É");
    EXPECT_EQ(TextPattern::Modify("Øyvind", {Modifier::Ascii, Modifier::First, Modifier::Lower}),
              "o");
    EXPECT_EQ(TextPattern::Modify("José", {}), "José");
}

}  // namespace
}  // namespace rowsmith
