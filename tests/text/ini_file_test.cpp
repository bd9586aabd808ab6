#include "text/ini_file.h"

#include <gtest/gtest.h>

#include <random>

#include "temp_dir.h"
#include "text/errors.h"

namespace rowsmith {
namespace {

TEST(IniFileTest, NamesFoldCaseExactSectionsFirstAndValuesStayExact) {
    const IniFile ini = IniFile::Parse(
        "; a comment line\r\n"
        "ignored=before any section\r\n"
        "[Main]\r\n"
        "AliasName= Sales = Data \r\n"
        "Quoted=\"x\"\n"
        "Empty=\n"
        "no equals sign here\n"
        "aliasname=second spelling\n"
        "[Table  x]\n"
        " Key =v\r\n"
        ";Key=comment\n"
        "[MAIN]\n"
        "Extra=from a section differing in case\n"
        "[Main]\n"
        "Repeated=from a repeated section\n"
        "[Last]\n"
        "Tail=no line end");
    EXPECT_EQ(std::vector<std::string>({"Main", "Table  x", "Last"}), ini.Sections());
    EXPECT_EQ(" Sales = Data ", ini.Value("main", "ALIASNAME"));
    EXPECT_EQ("\"x\"", ini.Value("Main", "Quoted"));
    EXPECT_EQ(std::optional<std::string>(""), ini.Find("Main", "Empty"));
    EXPECT_EQ(std::vector<std::string>({"AliasName", "Quoted", "Empty"}), ini.Keys("Main"));
    // Blanks around a key name are not part of it.
    EXPECT_EQ("v", ini.Value("table  X", "key"));
    EXPECT_FALSE(ini.HasSection("Table x"));
    EXPECT_FALSE(ini.Find("Main", "Extra"));
    EXPECT_FALSE(ini.Find("Main", "Repeated"));
    EXPECT_EQ("from a section differing in case", ini.Value("MAIN", "Extra"));
    EXPECT_FALSE(ini.Find("mAIN", "Extra"));
    EXPECT_FALSE(ini.Find("Nowhere", "Key"));
    EXPECT_TRUE(ini.Keys("Nowhere").empty());
    EXPECT_EQ("no line end", ini.Value("Last", "Tail"));
    EXPECT_FALSE(ini.Find("", "ignored"));
}

TEST(IniFileTest, HeaderNeedsBothBrackets) {
    const IniFile ini = IniFile::Parse("[\n[]\nA=1\n[B] \nC=2\n");
    EXPECT_EQ(std::vector<std::string>({""}), ini.Sections());
    EXPECT_EQ("1", ini.Value("", "A"));
    EXPECT_EQ("2", ini.Value("", "C"));
}

TEST(IniFileTest, UnreadableFilesReadEmpty) {
    test::TempDir dir;
    EXPECT_TRUE(IniFile::Load(dir.File("missing.ini")).Sections().empty());
    EXPECT_TRUE(IniFile::Load(dir.Path()).Sections().empty());
    test::WriteFile(dir.File("a.ini"), "[S]\r\nK=V\r\n");
    EXPECT_EQ("V", IniFile::Load(dir.File("a.ini")).Value("s", "k"));
}

// Editors may start a UTF-8 file with a byte-order mark; it used to become part of the first
// line, so that "[Main]" was no header and the whole file read as empty.
TEST(IniFileTest, AByteOrderMarkIsSkipped) {
    const IniFile ini = IniFile::Parse("\xEF\xBB\xBF[Main]\r\nAliasName=Demo\r\n");
    EXPECT_EQ(std::vector<std::string>({"Main"}), ini.Sections());
    EXPECT_EQ("Demo", ini.Value("Main", "AliasName"));
    // Only at the very start: elsewhere the bytes are text like any other.
    EXPECT_EQ("\xEF\xBB\xBFx", IniFile::Parse("[S]\nK=\xEF\xBB\xBFx\n").Value("S", "K"));
    EXPECT_TRUE(IniFile::Parse(" \xEF\xBB\xBF[Main]\n").Sections().empty());
}

TEST(IniFileTest, ReadRefusesWhatItCannotRead) {
    test::TempDir dir;
    test::WriteFile(dir.File("a.ini"), "\xEF\xBB\xBF[S]\r\nK=V\r\n");
    EXPECT_EQ("V", IniFile::Read(dir.File("a.ini")).Value("S", "K"));
    static const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {dir.File("missing.ini"), "No such file or directory"},
        {dir.Path(), "Is a directory"},
        // Opens, but every read fails: the first page of the address space is never mapped.
        {"/proc/self/mem", "Input/output error"},
    };
    for (const auto& c : cases) {
        try {
            IniFile::Read(c.path);
            ADD_FAILURE() << c.path;
        } catch (const EFOpenError& error) {
            EXPECT_EQ("Cannot open file " + c.path + ": " + c.reason, error.what());
        }
    }
}

// Random bytes, biased towards the characters the syntax gives meaning to, never break the
// reader, and whatever keys it lists it also finds.
TEST(IniFileTest, RandomBytesNeverBreakTheReader) {
    std::mt19937 random(20240611);
    const std::string alphabet = "[]=;\r\n,. aAzZ0";
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 200, '\0');
        for (char& c : text) {
            c = random() % 4 == 0 ? static_cast<char>(random())
                                  : alphabet[random() % alphabet.size()];
        }
        const IniFile ini = IniFile::Parse(text);
        for (const std::string& section : ini.Sections()) {
            ASSERT_TRUE(ini.HasSection(section));
            for (const std::string& key : ini.Keys(section)) {
                ASSERT_TRUE(ini.Find(section, key)) << section << "/" << key;
            }
        }
    }
}

}  // namespace
}  // namespace rowsmith
