#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>

#include "model/fill_methods.h"
#include "model/fill_scenario.h"
#include "temp_dir.h"
#include "text/errors.h"

namespace rowsmith {
namespace {

// One line per scenario: alias, then each table with its settings and fields.
std::string Describe(const TFillScenario& scenario) {
    std::string text = scenario.AliasName();
    for (int i = 0; i < scenario.Tables().Count(); ++i) {
        const TFillTable& table = scenario.Tables().Items(i);
        text += "|" + table.TableName() + "(" + std::to_string(table.TableFillMethod()) + "," +
                std::to_string(table.RecCount()) + ")";
        for (int j = 0; j < table.Fields().Count(); ++j) {
            const TFillField& field = table.Fields().Items(j);
            text += " " + field.FieldName() + ":" + std::to_string(field.FillMethod()) + "=" +
                    field.FillValue();
        }
    }
    return text;
}

class ScenarioFileTest : public ::testing::Test {
protected:
    // Writes `contents` and reads it into a fresh scenario; gives the error, "" when none.
    std::string Load(const std::string& contents, TFillScenario& scenario) {
        // A new file each time: rewriting one in place makes ext4 flush it, which is slow.
        std::filesystem::remove(file_);
        test::WriteFile(file_, contents);
        try {
            scenario.LoadFromFile(file_);
        } catch (const EConvertError& e) {
            return e.what();
        }
        return "";
    }

    void AddField(TFillTable& table, const char* name, int method, const char* value) {
        TFillField& field = table.Fields().Items(table.AddField(name));
        field.SetFillMethod(method);
        field.SetFillValue(value);
    }

    test::TempDir dir_;
    std::string file_ = dir_.File("s.scn");
    TFillScenario scenario_;
};

TEST_F(ScenarioFileTest, ExampleIsWrittenByteForByteAndReadBack) {
    scenario_.SetAliasName("SalesData");
    TFillTable& customer = scenario_.Tables().Items(scenario_.AddTable("Customer"));
    AddField(customer, "CustNo", fmAutoIncrement, "");
    AddField(customer, "Name", fmRandomString, "12");
    AddField(customer, "City", fmRandomFromSet, "Paris,Rome,Oslo");
    TFillTable& orders = scenario_.Tables().Items(scenario_.AddTable("Orders"));
    orders.SetTableFillMethod(tfUpdateAndFill);
    orders.SetRecCount(500);
    AddField(orders, "OrderNo", fmRandomInteger, "1-1000");
    AddField(orders, "CustNo", fmMasterTable, "Customer.CustNo");
    customer.Fields().Items(0).NextCounter();

    // The 34 lines of the file, one section to a line here.
    const std::string expected =
        "[Main]\r\nAliasName=SalesData\r\nTables=Customer,Orders\r\n\r\n"
        "[Table Customer]\r\nFieldMethod=0\r\nRecCount=100\r\nFields=CustNo,Name,City\r\n\r\n"
        "[Field Customer.CustNo]\r\nFillMethod=5\r\nFillValue=\r\n\r\n"
        "[Field Customer.Name]\r\nFillMethod=6\r\nFillValue=12\r\n\r\n"
        "[Field Customer.City]\r\nFillMethod=2\r\nFillValue=Paris,Rome,Oslo\r\n\r\n"
        "[Table Orders]\r\nFieldMethod=1\r\nRecCount=500\r\nFields=OrderNo,CustNo\r\n\r\n"
        "[Field Orders.OrderNo]\r\nFillMethod=3\r\nFillValue=1-1000\r\n\r\n"
        "[Field Orders.CustNo]\r\nFillMethod=7\r\nFillValue=Customer.CustNo\r\n\r\n";
    scenario_.SaveToFile(file_);
    EXPECT_EQ(expected, test::ReadFile(file_));

    TFillScenario read;
    read.LoadFromFile(file_);
    EXPECT_EQ(Describe(scenario_), Describe(read));
    const TFFList& fields = read.Tables().Items(0).Fields();
    EXPECT_EQ(std::vector<std::string>({"Paris", "Rome", "Oslo"}), fields.Items(2).ValueSet());
    EXPECT_EQ(1, fields.Items(0).Counter());
}

TEST_F(ScenarioFileTest, WrittenNamesAndValuesComeBackExactly) {
    scenario_.SaveToFile(file_);
    EXPECT_EQ("[Main]\r\nAliasName=\r\nTables=\r\n\r\n", test::ReadFile(file_));

    scenario_.SetAliasName(" Sales=Data ");
    for (const char* name : {" T", "T", "T", "a]b"}) {
        AddField(scenario_.Tables().Items(scenario_.AddTable(name)), " f ", fmSingleValue,
                 " \"quoted\" = ;x ");
    }
    scenario_.SaveToFile(file_);
    TFillScenario read;
    read.LoadFromFile(file_);
    EXPECT_EQ(Describe(scenario_), Describe(read));
}

// The NULL share and the unique setting are kept in keys of their own, written only when set:
// a file without them reads and saves as it was, one with them gets them back as written.
TEST_F(ScenarioFileTest, NullShareAndUniqueKeysAreWrittenOnlyWhenSet) {
    const std::string plain =
        "[Main]\r\nAliasName=Shop\r\nTables=Client\r\n\r\n"
        "[Table Client]\r\nFieldMethod=0\r\nRecCount=10\r\nFields=Id,Phone\r\n\r\n"
        "[Field Client.Id]\r\nFillMethod=3\r\nFillValue=1 - 100\r\n\r\n"
        "[Field Client.Phone]\r\nFillMethod=6\r\nFillValue=9\r\n\r\n";
    TFillScenario read;
    read.LoadFromText(plain);
    EXPECT_EQ(plain, read.SaveToText());
    EXPECT_EQ("", read.Tables().Items(0).Fields().Items(1).NullShare());
    EXPECT_FALSE(read.Tables().Items(0).Fields().Items(0).Unique());

    std::string keyed = plain;
    keyed.insert(keyed.find("\r\n\r\n[Field Client.Phone]") + 2, "Unique=1\r\n");
    keyed.insert(keyed.size() - 2, "NullShare=12.5\r\n");
    TFillScenario withKeys;
    withKeys.LoadFromText(keyed);
    const TFFList& fields = withKeys.Tables().Items(0).Fields();
    EXPECT_TRUE(fields.Items(0).Unique());
    EXPECT_EQ("", fields.Items(0).NullShare());
    EXPECT_FALSE(fields.Items(1).Unique());
    EXPECT_EQ("12.5", fields.Items(1).NullShare());
    EXPECT_EQ(keyed, withKeys.SaveToText());

    // Turned off again, the keys go and the file is the plain one.
    withKeys.Tables().Items(0).Fields().Items(0).SetUnique(false);
    withKeys.Tables().Items(0).Fields().Items(1).SetNullShare("");
    EXPECT_EQ(plain, withKeys.SaveToText());

    TFillScenario bad;
    try {
        bad.LoadFromText(
            "[Main]\nTables=A\n[Table A]\nFields=f\n[Field A.f]\nFillMethod=1\n"
            "Unique=yes\n");
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ("'yes' is not a valid integer value\nin section [Field A.f], key Unique",
                     e.what());
    }
}

// A server may hold tables, and a table columns, whose names differ only in letter case; each
// keeps its own section, while a hand-written header in other letter case is still found.
TEST_F(ScenarioFileTest, NamesDifferingOnlyInCaseKeepTheirOwnSettings) {
    TFillTable& upper = scenario_.Tables().Items(scenario_.AddTable("Orders"));
    upper.SetTableFillMethod(tfUpdateAndFill);
    upper.SetRecCount(5);
    AddField(upper, "Name", fmSingleValue, "a");
    AddField(upper, "name", fmRandomString, "7");
    TFillTable& lower = scenario_.Tables().Items(scenario_.AddTable("orders"));
    lower.SetTableFillMethod(tfUpdateExisting);
    AddField(lower, "x", fmSingleValue, "b");
    scenario_.SaveToFile(file_);
    TFillScenario read;
    read.LoadFromFile(file_);
    EXPECT_EQ(Describe(scenario_), Describe(read));

    TFillScenario folded;
    EXPECT_EQ("", Load("[main]\nTables=A\n[TABLE a]\nRecCount=3\nFields=f\n[field a.F]\n"
                       "FillMethod=1\nFillValue=v\n",
                       folded));
    EXPECT_EQ("|A(0,3) f:1=v", Describe(folded));
}

// Saved by an editor that starts UTF-8 files with a byte-order mark: it used to read as empty.
TEST_F(ScenarioFileTest, AByteOrderMarkIsSkipped) {
    TFillScenario read;
    EXPECT_EQ("", Load("\xEF\xBB\xBF[Main]\r\nAliasName=Demo\r\nTables=T\r\n\r\n"
                       "[Table T]\r\nRecCount=3\r\n",
                       read));
    EXPECT_EQ("Demo|T(0,3)", Describe(read));
}

TEST_F(ScenarioFileTest, ReaderEdgeCases) {
    static const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"[Table A]\nFieldMethod=1\n", ""},
        {"[Main]\nAliasName=X\nTables=,\n", "X|(0,100)"},
        {"[Main]\nTables=\"A,B\"\n", "|\"A(0,100)|B\"(0,100)"},
        {"[Main]\nTables=A,,B,\n", "|A(0,100)|(0,100)|B(0,100)"},
        {"[Main]\nTables=A, B\n[Table  B]\nrecCOUNT=7\nFieldMethod=\n", "|A(0,100)| B(0,7)"},
        {"[Main]\nTables=A\n[Table A]\nRecCount=-5\nFields=f,g\n[Field A.f]\nFillMethod=9\n"
         "FillValue=a=b\n[Field A.g]\nFillMethod=6\n[Field A.h]\nFillMethod=1\n",
         "|A(0,-5) f:9=a=b g:6="},
        {"[Main]\nTables=A\n[Table A]\nFieldMethod=$10\nFields=c\n[Field A.c]\nFillMethod=2\n"
         "FillValue=x,y,z\n[Table Z]\nRecCount=1\n",
         "|A(16,100) c:2=x,y,z"}};
    for (const auto& [contents, expected] : cases) {
        TFillScenario read;
        EXPECT_EQ("", Load(contents, read));
        EXPECT_EQ(expected, Describe(read)) << contents;
    }
    TFillScenario read;
    read.LoadFromFile(dir_.File("missing.scn"));
    EXPECT_EQ("", Describe(read));
}

// Every file the writer makes has a Fields line for each table, empty or not: a table read
// without one (a file cut short) is marked, and keeps the reader's defaults.
TEST_F(ScenarioFileTest, ATableWithoutItsFieldsLineIsMarked) {
    TFillScenario read;
    EXPECT_EQ("", Load("[Main]\nTables=A,B,C,D\n[Table A]\nFieldMethod=0\n[Table B]\nFields=\n"
                       "[Table C]\nfields=x\n[Field C.x]\nFillMethod=1\n",
                       read));
    EXPECT_EQ("|A(0,100)|B(0,100)|C(0,100) x:1=|D(0,100)", Describe(read));
    std::vector<bool> missing;
    for (int i = 0; i < read.Tables().Count(); ++i) {
        missing.push_back(read.Tables().Items(i).FieldListMissing());
    }
    EXPECT_EQ((std::vector<bool>{true, false, false, true}), missing);

    TFillScenario saved;
    saved.AddTable("T");
    TFillScenario again;
    EXPECT_EQ("", Load(saved.SaveToText(), again));
    EXPECT_FALSE(again.Tables().Items(0).FieldListMissing());
}

// Reading stops at the first bad number, saying where it stands; what was read before stays, the
// field being read included, with its creation values.
TEST_F(ScenarioFileTest, ReaderFailures) {
    static const struct {
        std::string contents;
        std::string message;
        std::string scenario;
    } cases[] = {
        {"[Main]\nTables=A,B\n[Table A]\nFields=f,g\n[Field A.f]\nFillMethod=1\nFillValue=v\n",
         "'' is not a valid integer value\nin %s, section [Field A.g], key FillMethod",
         "|A(0,100) f:1=v g:0="},
        {"[Main]\nTables=A\n[Table A]\nFields=f\n[Field A.f]\nFillMethod=\nFillValue=v\n",
         "'' is not a valid integer value\nin %s, section [Field A.f], key FillMethod",
         "|A(0,100) f:0="},
        {"[Main]\nTables=A,B\n[Table A]\nRecCount=12x\nFields=f\n",
         "'12x' is not a valid integer value\nin %s, section [Table A], key RecCount", "|A(0,100)"},
        {"[Main]\nTables=A\n[Table A]\nFieldMethod= 1 \n",
         "' 1 ' is not a valid integer value\nin %s, section [Table A], key FieldMethod",
         "|A(0,100)"}};
    for (const auto& c : cases) {
        std::string message = c.message;
        message.replace(message.find("%s"), 2, file_);
        TFillScenario read;
        EXPECT_EQ(message, Load(c.contents, read));
        EXPECT_EQ(c.scenario, Describe(read)) << c.contents;
    }
    TFillScenario text;
    try {
        text.LoadFromText("[Main]\nTables=A\n[Table A]\nRecCount=many\n");
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ("'many' is not a valid integer value\nin section [Table A], key RecCount",
                     e.what());
    }
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(ScenarioFileTest, FailedSaveLeavesEverythingAsItWas) {
    const std::string nowhere = dir_.File("missing/s.scn");
    try {
        scenario_.SaveToFile(nowhere);
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ("Cannot create file " + nowhere, e.what());
    }

    // A folder in the way: the new file is written, but cannot replace it.
    const std::string folder = dir_.File("folder.scn");
    std::filesystem::create_directory(folder);
    test::WriteFile(folder + "/inside", "kept");
    EXPECT_THROW(scenario_.SaveToFile(folder), EFCreateError);
    EXPECT_EQ("kept", test::ReadFile(folder + "/inside"));
    EXPECT_EQ(std::vector<std::string>({"folder.scn"}), FolderEntries(dir_.Path()));

    // A file-size limit makes the write itself fail, even for root.
    const std::string old = "[Main]\r\nAliasName=Old\r\nTables=\r\n\r\n";
    test::WriteFile(file_, old);
    chmod(file_.c_str(), 0640);
    scenario_.AddTable(std::string(4096, 'x'));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(scenario_.SaveToFile(file_), EWriteError);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(old, test::ReadFile(file_));
    EXPECT_EQ(std::vector<std::string>({"folder.scn", "s.scn"}), FolderEntries(dir_.Path()));

    // A successful save keeps the replaced file's permissions.
    scenario_.SaveToFile(file_);
    struct stat st;
    ASSERT_EQ(0, stat(file_.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 07777);
}

// Names and values that would read back as another scenario used to be saved all the same: a
// line break cut the line, a comma split a list, an empty last name was lost, a "." made one
// column's section another's. Each is refused, naming what, and the former file stays.
TEST_F(ScenarioFileTest, SaveRefusesWhatCannotBeReadBack) {
    const std::string old = "[Main]\r\nAliasName=Old\r\nTables=\r\n\r\n";
    static const struct {
        const char* table;
        const char* field;
        const char* value;
        const char* table2;  // a second table with field "b.c" when not null
        const char* message;
    } cases[] = {
        {"a\nb", "f", "", nullptr,
         "The scenario cannot be saved: the table \"a\\x0Ab\"'s name holds a line break"},
        {"a\rb", "f", "", nullptr,
         "The scenario cannot be saved: the table \"a\\x0Db\"'s name holds a line break"},
        {"a,b", "f", "", nullptr,
         "The scenario cannot be saved: the table \"a,b\"'s name holds a comma"},
        {"", "f", "", nullptr, "The scenario cannot be saved: the table \"\"'s name is empty"},
        {"t", "x,y", "", nullptr,
         "The scenario cannot be saved: the column \"x,y\" of table \"t\"'s name holds a comma"},
        {"t", "", "", nullptr,
         "The scenario cannot be saved: the column \"\" of table \"t\"'s name is empty"},
        {"t", "f\n", "", nullptr,
         "The scenario cannot be saved: the column \"f\\x0A\" of table \"t\"'s name holds a "
         "line break"},
        {"t", "f", "1\r\n2", nullptr,
         "The scenario cannot be saved: the fill value of column \"f\" of table \"t\" holds a "
         "line break"},
        {"a.b", "c", "", "a",
         "The scenario cannot be saved: the column \"b.c\" of table \"a\" would be read back "
         "with the settings of the column \"c\" of table \"a.b\": both are kept in the section "
         "[Field a.b.c]"},
        {"t", "f", "", "t",
         "The scenario cannot be saved: the table \"t\" would be read back with the settings of "
         "the table \"t\": both are kept in the section [Table t]"},
    };
    for (const auto& c : cases) {
        test::WriteFile(file_, old);
        TFillScenario scenario;
        AddField(scenario.Tables().Items(scenario.AddTable(c.table)), c.field, fmSingleValue,
                 c.value);
        if (c.table2 != nullptr) {
            AddField(scenario.Tables().Items(scenario.AddTable(c.table2)), "b.c", fmSingleValue,
                     "other");
        }
        try {
            scenario.SaveToFile(file_);
            ADD_FAILURE() << c.message;
        } catch (const Exception& e) {
            EXPECT_EQ(c.message, std::string(e.what()));
        }
        EXPECT_EQ(old, test::ReadFile(file_)) << c.message;
    }
    TFillScenario alias;
    alias.SetAliasName("A\nB");
    EXPECT_THROW(alias.SaveToFile(file_), Exception);
    EXPECT_EQ(old, test::ReadFile(file_));

    // What can be read back is saved: a table listed twice with the same settings, names with
    // blanks, brackets, "=", ";" and bytes that are no UTF-8, a value with commas and quotes.
    TFillScenario saved;
    for (const char* name : {"T", "T", " [x]=y; ", "\xff\x01"}) {
        AddField(saved.Tables().Items(saved.AddTable(name)), "f\x7f", fmSingleValue, "v,\"w\"");
    }
    saved.SaveToFile(file_);
    TFillScenario read;
    read.LoadFromFile(file_);
    EXPECT_EQ(Describe(saved), Describe(read));
}

// Saving over a symbolic link used to put a file in the link's place: the link stays and the
// file it points to, through a chain of links too, gets the scenario.
TEST_F(ScenarioFileTest, SaveFollowsSymbolicLinks) {
    std::filesystem::create_directory(dir_.File("real"));
    const std::string target = dir_.File("real/s.scn");
    test::WriteFile(target, "old");
    std::filesystem::create_directory(dir_.File("links"));
    std::filesystem::create_symlink("../real/s.scn", dir_.File("links/hop.scn"));
    std::filesystem::create_symlink("links/hop.scn", dir_.File("link.scn"));
    scenario_.SetAliasName("Linked");
    scenario_.SaveToFile(dir_.File("link.scn"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_.File("link.scn")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_.File("links/hop.scn")));
    EXPECT_EQ("[Main]\r\nAliasName=Linked\r\nTables=\r\n\r\n", test::ReadFile(target));
    EXPECT_EQ(std::vector<std::string>({"s.scn"}), FolderEntries(dir_.File("real")));

    // A link to a file not made yet makes it.
    std::filesystem::create_symlink("real/new.scn", dir_.File("dangling.scn"));
    scenario_.SaveToFile(dir_.File("dangling.scn"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_.File("dangling.scn")));
    EXPECT_EQ(test::ReadFile(target), test::ReadFile(dir_.File("real/new.scn")));

    std::filesystem::create_symlink("loop.scn", dir_.File("loop.scn"));
    EXPECT_THROW(scenario_.SaveToFile(dir_.File("loop.scn")), EFCreateError);
    EXPECT_TRUE(std::filesystem::is_symlink(dir_.File("loop.scn")));
}

// Runs `save` in a child process as a user who may not write `folder` (root may write anything,
// so as root the child becomes nobody); gives the child's text: "" on success, else the error.
std::string SaveAsOtherUser(const std::function<void()>& save, const std::string& message) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return "no pipe";
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::string result;
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            result = "cannot become nobody";
        } else {
            try {
                save();
            } catch (const std::exception& e) {
                result = e.what();
            }
        }
        if (result.empty() && !message.empty()) {
            result = message;
        }
        [[maybe_unused]] const ssize_t written = write(pipeEnds[1], result.data(), result.size());
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string result;
    char buffer[512];
    ssize_t got;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        result.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return result;
}

// A file that may be written in a folder that may not (a shared folder) used to fail the save,
// which needs a new file beside it: it is now written in place, keeping its permissions, and
// the copy kept meanwhile is gone afterwards. A failing write puts the former contents back.
TEST_F(ScenarioFileTest, SavesInPlaceWhereTheFolderMayNotBeWritten) {
    const std::string shared = dir_.File("shared");
    const std::string tmp = dir_.File("tmp");
    std::filesystem::create_directory(shared);
    std::filesystem::create_directory(tmp);
    chmod(dir_.Path().c_str(), 0755);
    chmod(tmp.c_str(), 01777);
    const std::string file = shared + "/s.scn";
    const std::string old = "[Main]\r\nAliasName=Old\r\nTables=\r\n\r\n";
    test::WriteFile(file, old);
    chmod(file.c_str(), 0646);
    chmod(shared.c_str(), 0555);
    setenv("TMPDIR", tmp.c_str(), 1);

    scenario_.SetAliasName("New");
    EXPECT_EQ("", SaveAsOtherUser([&] { scenario_.SaveToFile(file); }, ""));
    EXPECT_EQ("[Main]\r\nAliasName=New\r\nTables=\r\n\r\n", test::ReadFile(file));
    struct stat st;
    ASSERT_EQ(0, stat(file.c_str(), &st));
    EXPECT_EQ(0646u, st.st_mode & 07777);
    EXPECT_EQ(0u, st.st_uid);
    EXPECT_EQ(std::vector<std::string>({"s.scn"}), FolderEntries(shared));
    EXPECT_TRUE(FolderEntries(tmp).empty());

    // A write cut short by a file-size limit: the former contents come back, the copy goes.
    TFillScenario big;
    big.AddTable(std::string(4096, 'x'));
    const std::string error = SaveAsOtherUser(
        [&] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit small{1024, 1024};
            setrlimit(RLIMIT_FSIZE, &small);
            big.SaveToFile(file);
        },
        "saved");
    EXPECT_EQ("Stream write error", error);
    EXPECT_EQ("[Main]\r\nAliasName=New\r\nTables=\r\n\r\n", test::ReadFile(file));
    EXPECT_TRUE(FolderEntries(tmp).empty());
    unsetenv("TMPDIR");
    chmod(shared.c_str(), 0755);
}

// Damaged files, made by changing random bytes of a good one, never crash the reader: they read
// or stop with a conversion error.
TEST_F(ScenarioFileTest, RandomBytesNeverCrashTheReader) {
    const std::string good =
        "[Main]\nAliasName=A\nTables=T,U\n[Table T]\nFieldMethod=1\nRecCount=5\nFields=a,b\n"
        "[Field T.a]\nFillMethod=2\nFillValue=\"x,y\",z\n[Field T.b]\nFillMethod=6\n";
    std::mt19937 random(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string contents = good;
        for (int change = random() % 8; change >= 0; --change) {
            const std::size_t at = random() % contents.size();
            const char byte = static_cast<char>(random());
            switch (random() % 3) {
                case 0:
                    contents[at] = byte;
                    break;
                case 1:
                    contents.insert(at, 1, byte);
                    break;
                default:
                    contents.erase(at, 1);
                    break;
            }
        }
        TFillScenario read;
        const std::string error = Load(contents, read);
        ASSERT_TRUE(error.empty() ||
                    error.substr(0, error.find('\n')).ends_with("is not a valid integer value"))
            << error;
    }
}

}  // namespace
}  // namespace rowsmith
