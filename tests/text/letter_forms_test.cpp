#include "text/letter_forms.h"

#include <gtest/gtest.h>

namespace rowsmith {
namespace {

TEST(LetterForms, CaseOfAsciiLatin1AndExtendedLetters) {
    static const struct {
        const char* text;
        const char* lower;
        const char* upper;
    } cases[] = {
        {"McIntyre 42", "mcintyre 42", "MCINTYRE 42"},
        {"José Ñúñez", "josé ñúñez", "JOSÉ ÑÚÑEZ"},
        {"Łukasz Żółć", "łukasz żółć", "ŁUKASZ ŻÓŁĆ"},
        {"Dvořák Šťastný", "dvořák šťastný", "DVOŘÁK ŠŤASTNÝ"},
        {"Ștefan Brașov", "ștefan brașov", "ȘTEFAN BRAȘOV"},
        // No single upper-case sharp s in Latin-1; the multiplication sign is no letter.
        {"Straße ×", "straße ×", "STRAßE ×"},
        {"ÿ Ÿ", "ÿ ÿ", "Ÿ Ÿ"},
        {"İı", "iı", "İI"},
        {"Ελλάδα", "Ελλάδα", "Ελλάδα"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LowerLetters(c.text), c.lower) << c.text;
        EXPECT_EQ(UpperLetters(c.text), c.upper) << c.text;
    }
}

TEST(LetterForms, AsciiWritesLettersWithoutAccentsAndLeavesTheRestOut) {
    static const struct {
        const char* text;
        const char* ascii;
    } cases[] = {
        {"José", "Jose"},
        {"Zoë Ångström", "Zoe Angstrom"},
        {"Æsa Straße Œuvre Ĳssel", "AEsa Strasse OEuvre IJssel"},
        {"Łódź Đurić Søren Þór", "Lodz Duric Soren THor"},
        {"Ștefan Brașov Țuțea", "Stefan Brasov Tutea"},
        {"Ελλάδα-Tokyo 東京", "-Tokyo "},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AsciiLetters(c.text), c.ascii) << c.text;
    }
}

TEST(LetterForms, PlainAsciiChangesAsInAnyOtherText) {
    // An ASCII-only text takes a shorter way than one with a single accented letter in it.
    std::string ascii;
    for (int c = 0; c < 0x80; ++c) {
        ascii += static_cast<char>(c);
    }
    const std::string accented = ascii + "\u00e9";
    EXPECT_EQ(LowerLetters(ascii) + "\u00e9", LowerLetters(accented));
    EXPECT_EQ(UpperLetters(ascii) + "\u00c9", UpperLetters(accented));
    EXPECT_EQ(AsciiLetters(ascii) + "e", AsciiLetters(accented));
    EXPECT_EQ(LowerLetters("AZaz@[`{"), "azaz@[`{");
    EXPECT_EQ(UpperLetters("AZaz@[`{"), "AZAZ@[`{");
}

TEST(LetterForms, BytesThatAreNoUtf8PassCaseAndLeaveAscii) {
    const std::string broken =
        "a\xC3"
        "B\xFF";
    EXPECT_EQ(LowerLetters(broken),
              "a\xC3"
              "b\xFF");
    EXPECT_EQ(AsciiLetters(broken), "aB");
    EXPECT_EQ(FirstCharacter("\xC3"), "\xC3");
}

TEST(LetterForms, FirstCharacterKeepsAWholeUtf8Sequence) {
    EXPECT_EQ(FirstCharacter("Émile"), "É");
    EXPECT_EQ(FirstCharacter("東京"), "東");
    EXPECT_EQ(FirstCharacter("x"), "x");
    EXPECT_EQ(FirstCharacter(""), "");
}

}  // namespace
}  // namespace rowsmith
