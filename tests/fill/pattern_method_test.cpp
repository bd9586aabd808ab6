// The pattern method on every engine: each placeholder and modifier in written values, columns
// made from the same record's other columns wherever they stand in the table, the check's
// refusals (circles, unknown names, unbalanced braces), seeded runs and the pre-run warnings.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "fill/scenario_lint.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"
#include "scoped_env.h"
#include "text/errors.h"
#include "text/letter_forms.h"

namespace rowsmith::test {
namespace {

// Whether `text` has the shape `shape`: in the shape 9 stands for a digit, A for an upper-case
// letter, X for either, and every other character for itself.
bool HasShape(const std::string& text, const std::string& shape) {
    if (text.size() != shape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        const bool upper = text[i] >= 'A' && text[i] <= 'Z';
        const bool fits = shape[i] == '9'   ? digit
                          : shape[i] == 'A' ? upper
                          : shape[i] == 'X' ? digit || upper
                                            : text[i] == shape[i];
        if (!fits) {
            return false;
        }
    }
    return true;
}

class PatternMethodTest : public FillTest {
protected:
    PatternMethodTest() {
        std::filesystem::create_directories(home.File("rowsmith/libraries"));
        WriteFile(home.File("rowsmith/libraries/given.txt"),
                  "# Given names\nJosé\nZoë\nÅsa\nMarta\nŁukasz\n");
        WriteFile(home.File("rowsmith/libraries/family.txt"),
                  "# Family names\nNúñez\nO'Brien\nØdegaard\nKowalski\n");
        WriteFile(home.File("rowsmith/libraries/mail.txt"),
                  "# Mail domains\nexample.com\nmail.example.org\n");
    }

    TempDir home;
    ScopedEnv dataHome{"XDG_DATA_HOME", home.Path()};
};

TEST_P(PatternMethodTest, EachPlaceholderWritesItsKindOfCharacter) {
    CreateTable("t", "id " + db.AutoIncKeyType() + ", a VARCHAR(40), b VARCHAR(40), c VARCHAR(40)");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 200);
    SetField(table, "a", fmPattern, "ORD-####-??");
    SetField(table, "b", fmPattern, "+1-555-###-####/***\\#\\*\\{x\\}");
    SetField(table, "c", fmPattern, "{mail|upper} {given|first}.");
    engine.FillUp();
    std::set<char> kinds;
    for (const auto& row : db.Query("SELECT a, b, c FROM t")) {
        EXPECT_TRUE(HasShape(row[0], "ORD-9999-AA")) << row[0];
        EXPECT_TRUE(HasShape(row[1], "+1-555-999-9999/XXX#*{x}")) << row[1];
        EXPECT_TRUE(row[2].rfind("EXAMPLE.COM ", 0) == 0 ||
                    row[2].rfind("MAIL.EXAMPLE.ORG ", 0) == 0)
            << row[2];
        for (char c : row[1].substr(16, 3)) {
            kinds.insert(c >= 'A' ? 'A' : '0');
        }
    }
    // "*" gives letters and digits both.
    EXPECT_EQ(kinds, (std::set<char>{'0', 'A'}));
    EXPECT_EQ(db.QueryValue("SELECT COUNT(DISTINCT c) FROM t"), "10");
}

TEST_P(PatternMethodTest, AColumnIsMadeFromTheSameRecordWhereverItStands) {
    // The address column before the names it is made of, and after them.
    for (const char* columns : {"email VARCHAR(120), first VARCHAR(40), last VARCHAR(40)",
                                "first VARCHAR(40), last VARCHAR(40), email VARCHAR(120)"}) {
        OwnFill fresh(GetParam(), reporter);
        fresh.db.Execute("CREATE TABLE p (id " + fresh.db.AutoIncKeyType() + ", " + columns + ")");
        TFillTable& table = fresh.AddTable("p", tfEmptyAndFill, 60);
        SetField(table, "email", fmPattern, "{First|lower|ascii}.{LAST|lower|ascii}@{mail}");
        SetField(table, "first", fmLibrary, "given");
        SetField(table, "last", fmLibrary, "family");
        fresh.filler.FillUp();
        const auto rows = fresh.db.Query("SELECT first, last, email FROM p ORDER BY id");
        ASSERT_EQ(rows.size(), 60u);
        std::set<std::string> firsts;
        for (const auto& row : rows) {
            const std::string local =
                LowerLetters(AsciiLetters(row[0])) + "." + LowerLetters(AsciiLetters(row[1]));
            EXPECT_TRUE(row[2] == local + "@example.com" || row[2] == local + "@mail.example.org")
                << columns << ": " << row[0] << " " << row[1] << " " << row[2];
            firsts.insert(row[0]);
        }
        EXPECT_EQ(firsts.size(), 5u);
    }
}

TEST_P(PatternMethodTest, AnUnfilledColumnGivesWhatTheRecordHolds) {
    CreateTable("t", "id " + db.AutoIncKeyType() + ", code VARCHAR(10), tag VARCHAR(20)",
                {"1, 'Émile', NULL", "2, 'bob', NULL"});
    TFillTable& table = AddTable("t", tfUpdateExisting, 0);
    SetField(table, "tag", fmPattern, "{code|upper|ascii}-#");
    engine.FillUp();
    const auto tags = Column("t", "tag");
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_TRUE(HasShape(tags[0], "EMILE-9")) << tags[0];
    EXPECT_TRUE(HasShape(tags[1], "BOB-9")) << tags[1];
}

TEST_P(PatternMethodTest, AnUnfilledColumnGivesWhatEveryRecordHoldsPastTheFirstPage) {
    // Three pages of records, the pattern's column among written ones it does not name.
    CreateTable("t", "id " + db.AutoIncKeyType() +
                         ", code VARCHAR(10), tag VARCHAR(20), n INTEGER, note VARCHAR(10)");
    db.Execute("INSERT INTO t (code) SELECT 'c' || n FROM (" + db.Numbers(2500) + ") AS numbers");
    TFillTable& table = AddTable("t", tfUpdateExisting, 0);
    SetField(table, "n", fmRandomInteger, "1 - 9");
    SetField(table, "tag", fmPattern, "{code}-{note}");
    SetField(table, "note", fmSingleValue, "x");
    engine.FillUp();
    const auto codes = Column("t", "code");
    const auto tags = Column("t", "tag");
    ASSERT_EQ(tags.size(), 2500u);
    for (std::size_t i = 0; i < tags.size(); ++i) {
        ASSERT_EQ(tags[i], codes[i] + "-x") << i;
    }
}

TEST_P(PatternMethodTest, TheCheckRefusesCirclesUnknownNamesAndUnbalancedBraces) {
    static const struct {
        const char* a;
        const char* b;
        const char* c;
        const char* error;
    } cases[] = {
        {"{b}-x", "{c}", "{A}",
         "Field: \"a\". Value: \"{b}-x\": the columns refer to each other in a circle: "
         "a -> b -> c -> A"},
        {"#", "{B|upper}", "#",
         "Field: \"b\". Value: \"{B|upper}\": the columns refer to each other in a circle: "
         "b -> B"},
        {"{b}", "{c}", "{b}",
         "Field: \"b\". Value: \"{c}\": the columns refer to each other in a circle: "
         "b -> c -> b"},
        {"{d}-{planets}", "#", "#",
         "Field: \"a\". Value: \"{d}-{planets}\": \"planets\" is no column of the table, and "
         "Library \"planets\" not found in "},
        {"{given", "#", "#", "Field: \"a\". Value: \"{given\": the { at character 1 has no }"},
        {"#}", "#", "#", "Field: \"a\". Value: \"#}\": the } at character 2 has no {"},
        {"{c}-{given|lower}", "{c}{c}", "{d|first}", ""},
    };
    for (const auto& c : cases) {
        OwnFill fresh(GetParam(), reporter);
        fresh.db.Execute("CREATE TABLE t (id " + fresh.db.AutoIncKeyType() +
                         ", a VARCHAR(20), b VARCHAR(20), c VARCHAR(20), d VARCHAR(20))");
        TFillTable& table = fresh.AddTable("t", tfEmptyAndFill, 3);
        SetField(table, "a", fmPattern, c.a);
        SetField(table, "b", fmPattern, c.b);
        SetField(table, "c", fmPattern, c.c);
        std::string error;
        try {
            fresh.filler.CheckAllValues();
        } catch (const Exception& e) {
            error = e.what();
        }
        if (*c.error == '\0') {
            EXPECT_EQ(error, "") << c.a;
        } else {
            const std::string expected = std::string("Wrong fill value. Table: \"t\". ") + c.error;
            EXPECT_EQ(error.substr(0, expected.size()), expected) << c.a;
        }
    }
}

TEST_P(PatternMethodTest, ASeededRunRepeatsAndADryRunShowsTheSameRecords) {
    CreateTable("t", "id " + db.AutoIncKeyType() + ", address VARCHAR(60), name VARCHAR(20)");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 30);
    SetField(table, "address", fmPattern, "{name|ascii|lower}.##@{mail}");
    SetField(table, "name", fmLibrary, "given");
    engine.SetFixedSeed(11);
    std::vector<std::vector<std::string>> shown;
    engine.SetDryRun(true);
    engine.SetRecordObserver([&shown](const TableCursor& record) {
        shown.push_back({record.FieldAt(1).ReadString(), record.FieldAt(2).ReadString()});
    });
    engine.FillUp();
    EXPECT_EQ(Count("t"), 0);
    engine.SetDryRun(false);
    engine.SetRecordObserver(nullptr);
    engine.FillUp();
    const auto first = db.Query("SELECT address, name FROM t ORDER BY id");
    EXPECT_EQ(first, shown);
    engine.FillUp();
    EXPECT_EQ(db.Query("SELECT address, name FROM t ORDER BY id"), first);
}

TEST_P(PatternMethodTest, LintWarnsWhenTheLongestResultCanExceedTheColumn) {
    CreateTable("t", "id " + db.AutoIncKeyType() +
                         ", first VARCHAR(40), code VARCHAR(10), addr VARCHAR(25), "
                         "fits VARCHAR(24), bad VARCHAR(10)");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 5);
    SetField(table, "first", fmLibrary, "given");
    SetField(table, "code", fmPattern, "ORD-####-???");
    // The longest given name has 7 bytes, the longest domain 16: 7 + 1 + 16 = 24.
    SetField(table, "addr", fmPattern, "{first|lower}@{mail}x\\#");
    SetField(table, "fits", fmPattern, "{first|lower}@{mail}");
    SetField(table, "bad", fmPattern, "{nowhere");
    const std::vector<LintWarning> warnings = LintScenario(scenario);
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_EQ(warnings[0].column, "code");
    EXPECT_EQ(warnings[0].reason,
              "pattern \"ORD-####-???\" makes texts of up to 12 characters, the column keeps 10: "
              "longer ones will be cut");
    EXPECT_EQ(warnings[1].column, "addr");
    EXPECT_EQ(warnings[1].reason,
              "pattern \"{first|lower}@{mail}x\\#\" makes texts of up to 26 characters, the "
              "column keeps 25: longer ones will be cut");
    EXPECT_EQ(warnings[2].column, "bad");
    EXPECT_EQ(warnings[2].reason, "the { at character 1 has no }: the check will refuse it");
}

INSTANTIATE_TEST_SUITE_P(Engines, PatternMethodTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
