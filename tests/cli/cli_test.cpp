// rowsmith-fill, run as a program on scenarios and databases in a temporary folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cli_fixture.h"

namespace rowsmith::test {
namespace {

using namespace std::string_literals;

// The records that the progress bar of `table` showed last in a terminal's text, -1 before it
// showed any.
std::int64_t ShownProgress(const std::string& terminal, const std::string& table) {
    const std::size_t bar = terminal.rfind("\r" + table + " [");
    const std::size_t percent = terminal.find("% ", bar);
    const std::size_t slash = terminal.find('/', percent);
    if (bar == std::string::npos || slash == std::string::npos) {
        return -1;
    }
    return std::stoll(terminal.substr(percent + 2, slash - percent - 2));
}

class CliTest : public CliFixture {
protected:
    // Starts rowsmith-fill as Run does but with standard error on a terminal, where it draws its
    // progress bars; sends it `signal` once `due` holds of what it wrote there, and waits for its
    // end. A run that never gets there is killed and fails the test.
    RunResult RunAndSignal(const std::vector<std::string>& args, int signal,
                           const std::function<bool(const std::string& err)>& due) {
        const std::string out = db.Folder().File("stdout.txt");
        // A raw terminal leaves line ends as the program writes them.
        termios raw{};
        cfmakeraw(&raw);
        int terminal = -1;
        const pid_t child = forkpty(&terminal, nullptr, &raw, nullptr);
        if (child == 0) {
            if (chdir(db.Folder().Path().c_str()) != 0) {
                _exit(125);
            }
            setenv("XDG_DATA_HOME", db.Folder().Path().c_str(), 1);
            setenv("XDG_CONFIG_HOME", db.Folder().Path().c_str(), 1);
            const int in = open("/dev/null", O_RDONLY);
            const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(in, 0);
            dup2(outFd, 1);
            std::vector<char*> argv{const_cast<char*>(ROWSMITH_FILL_PATH)};
            for (const std::string& arg : args) {
                argv.push_back(const_cast<char*>(arg.c_str()));
            }
            argv.push_back(nullptr);
            execv(ROWSMITH_FILL_PATH, argv.data());
            _exit(126);
        }
        RunResult result;
        if (child < 0) {
            ADD_FAILURE() << "no terminal for rowsmith-fill";
            return result;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        bool signalled = false;
        char buffer[4096];
        while (true) {
            if (!signalled && due(result.err)) {
                kill(child, signal);
                signalled = true;
            } else if (!signalled && std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "rowsmith-fill never got to the signal:\n" << result.err;
                kill(child, SIGKILL);
                signalled = true;
            }
            pollfd ready{terminal, POLLIN, 0};
            if (poll(&ready, 1, 50) <= 0) {
                continue;
            }
            // The terminal reads as ended (EIO) once the program has exited.
            const ssize_t got = read(terminal, buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            result.err.append(buffer, static_cast<std::size_t>(got));
        }
        close(terminal);
        int status = 0;
        waitpid(child, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        result.out = ReadFile(out);
        return result;
    }
};

TEST_P(CliTest, FillsAScenarioRepeatablyFromASeed) {
    db.Execute("CREATE TABLE t (id " + db.AutoIncKeyType() + ", n INTEGER, s VARCHAR(5))");
    const std::string scenario =
        WriteScenario("t", 0, 5, {{"id", "0", ""}, {"n", "3", "0 - 10"}, {"s", "1", "x"}});
    const RunResult result = Run("--seed 0 " + Aliases() + " '" + scenario + "'");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Column("SELECT n FROM t ORDER BY id"),
              (std::vector<std::string>{"0", "0", "8", "2", "2"}));
    EXPECT_EQ(Column("SELECT s FROM t ORDER BY id"), std::vector<std::string>(5, "x"));
    EXPECT_NE(result.err.find("t: 5 records"), std::string::npos) << result.err;
    EXPECT_EQ(result.LastErrorLine().rfind("Filled 1 table with 5 records", 0), 0u) << result.err;
    EXPECT_EQ(result.out, "");

    const RunResult quiet = Run("--quiet --seed=0 " + Aliases() + " '" + scenario + "'");
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(Column("SELECT n FROM t ORDER BY id"),
              (std::vector<std::string>{"0", "0", "8", "2", "2"}));
}

TEST_P(CliTest, ADryRunFillsAsARealRunWouldAndWritesNothing) {
    db.Execute("CREATE TABLE t (id " + db.AutoIncKeyType() + ", n INTEGER UNIQUE)");
    db.Execute("INSERT INTO t (n) VALUES (100), (200)");
    const std::string scenario = WriteScenario("t", 0, 5, {{"id", "0", ""}, {"n", "5", ""}});
    const RunResult dry = Run("--dry-run " + Aliases() + " '" + scenario + "'");
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.err.find("t: 5 records"), std::string::npos) << dry.err;
    EXPECT_EQ(dry.LastErrorLine().rfind("Dry run: 1 table would get 5 records", 0), 0u) << dry.err;
    EXPECT_EQ(Column("SELECT n FROM t ORDER BY n"), (std::vector<std::string>{"100", "200"}));

    // A clash half-way fails the dry run with the real run's message and exit status; only the
    // real run says what the table holds after it.
    const std::string clash = WriteScenario("t", 0, 5, {{"id", "0", ""}, {"n", "1", "3"}});
    const RunResult failed = Run("--dry-run " + Aliases() + " '" + clash + "'");
    EXPECT_EQ(Column("SELECT n FROM t ORDER BY n"), (std::vector<std::string>{"100", "200"}));
    const RunResult real = Run(Aliases() + " '" + clash + "'");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(real.status, 1);
    const auto split = [](const std::string& line) {
        const std::size_t table = line.rfind("; Filling stopped in table");
        return std::make_pair(line.substr(0, table), line.substr(table + 2));
    };
    EXPECT_EQ(split(failed.LastErrorLine()).first, split(real.LastErrorLine()).first);
    EXPECT_EQ(split(failed.LastErrorLine()).second, "Filling stopped in table \"t\"");
    EXPECT_EQ(split(real.LastErrorLine()).second,
              "Filling stopped in table \"t\", which now holds 1 record.");
    EXPECT_EQ(Column("SELECT n FROM t ORDER BY n"), (std::vector<std::string>{"3"}));
}

TEST_P(CliTest, APreviewPrintsTheFirstRecordsInEachFormatAndWritesNothing) {
    db.Execute("CREATE TABLE t (id " + db.AutoIncKeyType() + ", n INTEGER, s VARCHAR(5))");
    db.Execute("INSERT INTO t (n) VALUES (100), (200)");
    const std::string scenario =
        WriteScenario("t", 0, 5, {{"id", "0", ""}, {"n", "3", "0 - 10"}, {"s", "1", "x\"y"}});
    const std::string run = " --seed 0 " + Aliases() + " '" + scenario + "'";
    const RunResult table = Run("--preview 3" + run);
    EXPECT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out,
              "t\n"
              "id  n  s\n"
              "--  -  ---\n"
              "    0  x\"y\n"
              "    0  x\"y\n"
              "    8  x\"y\n");
    EXPECT_EQ(table.LastErrorLine().rfind("Dry run: 1 table would get 5 records", 0), 0u);
    EXPECT_EQ(Run("--preview=2 --format=csv" + run).out,
              "table,id,n,s\r\nt,,0,\"x\"\"y\"\r\nt,,0,\"x\"\"y\"\r\n");
    EXPECT_EQ(Run("--format jsonl --preview 1" + run).out,
              "{\"table\":\"t\",\"record\":{\"id\":null,\"n\":0,\"s\":\"x\\\"y\"}}\n");
    EXPECT_EQ(Column("SELECT n FROM t ORDER BY n"), (std::vector<std::string>{"100", "200"}));
}

TEST_P(CliTest, LintExitsWithThreeOnWarningsAndStrictThenFillsNothing) {
    db.Execute("CREATE TABLE t (id " + db.AutoIncKeyType() + ", n INTEGER UNIQUE)");
    const std::string clean = WriteScenario("t", 0, 3, {{"id", "0", ""}, {"n", "5", ""}});
    const RunResult quiet = Run("--lint " + Aliases() + " '" + clean + "'");
    EXPECT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(Run("--strict " + Aliases() + " '" + clean + "'").status, 0);
    EXPECT_EQ(Column("SELECT n FROM t ORDER BY n"), (std::vector<std::string>{"1", "2", "3"}));

    const std::string clash = WriteScenario("t", 0, 3, {{"id", "0", ""}, {"n", "1", "5"}});
    const std::string warning =
        "t.n: unique, but fed 1 distinct value for 3 records: it will clash\n";
    const RunResult warned = Run("--lint " + Aliases() + " '" + clash + "'");
    EXPECT_EQ(warned.status, 3) << warned.err;
    EXPECT_EQ(warned.out, warning);
    EXPECT_EQ(warned.LastErrorLine(), "1 warning");
    const RunResult strict = Run("--strict --dry-run " + Aliases() + " '" + clash + "'");
    EXPECT_EQ(strict.status, 3);
    EXPECT_EQ(strict.out, warning);
    EXPECT_EQ(Run("--strict " + Aliases() + " '" + clash + "'").status, 3);
    EXPECT_EQ(Column("SELECT n FROM t ORDER BY n"), (std::vector<std::string>{"1", "2", "3"}));

    const RunResult missing =
        Run("--lint " + Aliases() + " '" + WriteScenario("gone", 0, 3, {{"x", "1", "1"}}) + "'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
}

TEST_P(CliTest, ErrorsEndStandardErrorWithTheMessageBoxText) {
    if (GetParam() == TestEngine::MariaDB) {
        GTEST_SKIP() << "MariaDB's messages end without a full stop";
    }
    db.Execute("CREATE TABLE t (id " + db.AutoIncKeyType() +
               ", n INTEGER, code VARCHAR(2) UNIQUE)");
    db.Execute("INSERT INTO t VALUES (1, 1, 'z'), (2, 2, 'y')");
    static const struct {
        int tableMethod;
        int recCount;
        const char* nValue;
        const char* codeMethod;
        const char* codeValue;
        const char* option;
        const char* lastLine;  // empty: only the start and the trailing "." are known
        int rowsAfter;
    } cases[] = {
        {0, 5, "1 - x", "0", "", "--check",
         "rowsmith-fill: Wrong fill value. Table: \"t\". Field: \"n\"", 2},
        {0, 5, "1 - x", "0", "", "", "rowsmith-fill: Wrong fill value. Table: \"t\". Field: \"n\"",
         2},
        {0, -1, "1 - 5", "0", "", "",
         "rowsmith-fill: The record count of table \"t\" is negative: -1.", 2},
        {0, 5, "1 - 5", "1", "q", "", "", 1},
    };
    for (const auto& c : cases) {
        const std::string scenario = WriteScenario(
            "t", c.tableMethod, c.recCount,
            {{"id", "0", ""}, {"n", "3", c.nValue}, {"code", c.codeMethod, c.codeValue}});
        const RunResult result =
            Run(std::string(c.option) + " " + Aliases() + " '" + scenario + "'");
        EXPECT_EQ(result.status, 1) << c.nValue;
        const std::string last = result.LastErrorLine();
        if (*c.lastLine != '\0') {
            EXPECT_EQ(last, c.lastLine);
        } else {
            EXPECT_EQ(last.rfind("rowsmith-fill: ", 0), 0u) << last;
            EXPECT_EQ(last.back(), '.') << last;
        }
        EXPECT_EQ(db.QueryValue("SELECT COUNT(*) FROM t"), std::to_string(c.rowsAfter)) << last;
    }
}

// A table gets its line when its records were being written, whether it completed or not; a
// check, and a fill stopped before the first record, print no table line.
TEST_P(CliTest, WhatTheLinesOnStandardErrorSay) {
    db.Execute("CREATE TABLE t (id " + db.AutoIncKeyType() + ", code VARCHAR(2) UNIQUE)");
    const std::string valid = WriteScenario("t", 0, 3, {{"id", "0", ""}, {"code", "0", ""}});
    const RunResult check = Run("--check " + Aliases() + " '" + valid + "'");
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_EQ(check.err, "Checked 1 table: every fill value is valid\n");

    const std::string duplicate = WriteScenario("t", 0, 3, {{"id", "0", ""}, {"code", "1", "q"}});
    const RunResult stopped = Run(Aliases() + " '" + duplicate + "'");
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(stopped.err.rfind("t: stopped\nrowsmith-fill: ", 0), 0u) << stopped.err;

    const std::string negative = WriteScenario("t", 0, -1, {{"id", "0", ""}, {"code", "0", ""}});
    const RunResult refused = Run(Aliases() + " '" + negative + "'");
    EXPECT_EQ(refused.err, "rowsmith-fill: The record count of table \"t\" is negative: -1.\n");
}

// A scenario lists its fields in another order than the table's columns, or names a column the
// table no longer has: values go to the columns they name, or the run stops before writing.
TEST_P(CliTest, SettingsGoToTheColumnsTheyName) {
    db.Execute("CREATE TABLE q (a INTEGER PRIMARY KEY, b INTEGER, c VARCHAR(5))");
    const std::string reordered =
        WriteScenario("q", 0, 3, {{"c", "1", "x"}, {"a", "5", ""}, {"b", "1", "7"}});
    const RunResult filled = Run(Aliases() + " '" + reordered + "'");
    EXPECT_EQ(filled.status, 0) << filled.err;
    EXPECT_EQ(
        db.Query("SELECT a, b, c FROM q ORDER BY a"),
        (std::vector<std::vector<std::string>>{{"1", "7", "x"}, {"2", "7", "x"}, {"3", "7", "x"}}));

    const std::string gone =
        WriteScenario("q", 0, 3, {{"a", "5", ""}, {"z", "1", "9"}, {"b", "1", "7"}});
    const RunResult refused = Run(Aliases() + " '" + gone + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.LastErrorLine(),
              "rowsmith-fill: No column for fill value. Table: \"q\". Field: \"z\"");
    EXPECT_EQ(db.QueryValue("SELECT COUNT(*) FROM q"), "3");
}

TEST_P(CliTest, AMissingOrForeignScenarioFileIsAnError) {
    const RunResult missing = Run(Aliases() + " nothing-here.scn");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.LastErrorLine(),
              "rowsmith-fill: Cannot open file nothing-here.scn: No such file or directory.");

    WriteFile(db.Folder().File("notes.txt"), "just some text\n");
    const RunResult foreign = Run(Aliases() + " notes.txt");
    EXPECT_EQ(foreign.status, 1);
    EXPECT_EQ(foreign.LastErrorLine(), "rowsmith-fill: notes.txt is not a scenario file.");
}

// A scenario file cut short after a table's FieldMethod line used to empty the table and write
// 100 records with every column unfilled; one whose main section lost its Tables line ended
// "Filled 0 tables" with status 0.
TEST_P(CliTest, ADamagedScenarioFailsBeforeAnythingIsWritten) {
    db.Execute("CREATE TABLE q (a INTEGER, b VARCHAR(5))");
    db.Execute("INSERT INTO q VALUES (1, 'x')");
    const std::string cut = db.Folder().File("cut.scn");
    WriteFile(cut, "[Main]\r\nAliasName=" + db.Alias() +
                       "\r\nTables=q\r\n\r\n[Table q]\r\nFieldMethod=0\r\n");
    for (const std::string option : {"", "--check "}) {
        const RunResult result = Run(option + Aliases() + " '" + cut + "'");
        EXPECT_EQ(result.status, 1) << option;
        EXPECT_EQ(result.LastErrorLine(),
                  "rowsmith-fill: Table \"q\" has no column settings: its scenario file has no "
                  "Fields line for it and may be damaged.");
    }
    EXPECT_EQ(db.Query("SELECT a, b FROM q"), (std::vector<std::vector<std::string>>{{"1", "x"}}));

    // A number that is none says where it stands.
    WriteFile(cut, "[Main]\r\nAliasName=" + db.Alias() +
                       "\r\nTables=q\r\n\r\n[Table q]\r\nFieldMethod=0\r\nRecCount=lots\r\n");
    const RunResult unread = Run(Aliases() + " '" + cut + "'");
    EXPECT_EQ(unread.status, 1);
    EXPECT_EQ(unread.LastErrorLine(), "rowsmith-fill: 'lots' is not a valid integer value; in " +
                                          cut + ", section [Table q], key RecCount.");

    WriteFile(db.Folder().File("garbled.scn"), "[Main]\r\n\x01\x7f=?\r\nzz\r\n");
    for (const std::string option : {"", "--check ", "--dry-run "}) {
        const RunResult result = Run(option + Aliases() + " garbled.scn");
        EXPECT_EQ(result.status, 1) << option;
        EXPECT_EQ(result.LastErrorLine(), "rowsmith-fill: garbled.scn lists no tables to fill.");
    }
}

TEST_P(CliTest, ListsAliasesAndTables) {
    db.Execute("CREATE TABLE alpha (x INTEGER)");
    db.Execute("CREATE TABLE beta (y INTEGER)");
    const RunResult aliases = Run("--list-aliases " + Aliases());
    EXPECT_EQ(aliases.status, 0) << aliases.err;
    EXPECT_EQ(aliases.out, "Demo\n" + db.Alias() + "\n");

    const RunResult tables = Run("--list-tables " + db.Alias() + " " + Aliases());
    EXPECT_EQ(tables.status, 0) << tables.err;
    EXPECT_EQ(tables.out, "alpha\nbeta\n");

    const RunResult unknown = Run("--list-tables NoSuchAlias " + Aliases());
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.LastErrorLine().rfind("rowsmith-fill: ", 0), 0u);
}

// SIGINT and SIGTERM used to end a fill at once, saying nothing and losing the records posted
// since the last commit. Now the fill stops after the record being written, commits, says which
// table it was filling and how many of its records were kept, and exits with 130 or 143.
TEST_P(CliTest, ASignalStopsTheFillKeepingWhatWasWritten) {
    db.Execute("CREATE TABLE first (id INTEGER PRIMARY KEY)");
    db.Execute("CREATE TABLE t (id " + db.AutoIncKeyType() + ", n INTEGER, s VARCHAR(20))");
    const std::string scenario = db.Folder().File("endless.scn");
    WriteFile(scenario,
              "[Main]\r\nAliasName=" + db.Alias() +
                  "\r\nTables=first,t\r\n\r\n"
                  "[Table first]\r\nFieldMethod=0\r\nRecCount=7\r\nFields=id\r\n\r\n"
                  "[Field first.id]\r\nFillMethod=5\r\nFillValue=\r\n\r\n"
                  "[Table t]\r\nFieldMethod=0\r\nRecCount=2147483647\r\nFields=id,n,s\r\n\r\n"
                  "[Field t.id]\r\nFillMethod=0\r\nFillValue=\r\n\r\n"
                  "[Field t.n]\r\nFillMethod=3\r\nFillValue=1-100\r\n\r\n"
                  "[Field t.s]\r\nFillMethod=6\r\nFillValue=12\r\n\r\n");
    for (const int signal : {SIGINT, SIGTERM}) {
        db.Execute("DELETE FROM t");
        // The signal comes once t's progress bar shows records past the first batch and, where a
        // fill commits as it goes, a commit has kept some of them, so that the records after it
        // wait for the last one. PostgreSQL keeps a table's fill in one transaction.
        const bool commitsAsItGoes = GetParam() != TestEngine::PostgreSQL;
        const auto committedSome = [&] {
            // On a busy machine a SQLite batch can keep readers out longer than the test
            // database waits; the next poll asks again.
            try {
                return db.QueryValue("SELECT count(*) FROM t") != "0";
            } catch (const std::runtime_error&) {
                return false;
            }
        };
        const RunResult result =
            RunAndSignal({"--aliases", db.ConfigFile(), scenario}, signal, [&](const auto& err) {
                return ShownProgress(err, "t") > 25000 && (!commitsAsItGoes || committedSome());
            });
        EXPECT_EQ(result.status, 128 + signal) << result.err;
        const std::string count = db.QueryValue("SELECT count(*) FROM t");
        EXPECT_GT(std::stoll(count), 0);
        EXPECT_EQ(result.LastErrorLine(),
                  "rowsmith-fill: Filling stopped in table \"t\" after " + count +
                      " records, which are kept; its former records were removed.");
        EXPECT_NE(result.err.find("first: 7 records"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("t: stopped\n"), std::string::npos) << result.err;
        EXPECT_EQ(db.QueryValue("SELECT count(*) FROM first"), "7");
    }
}

// A folder or an unreadable file given as --aliases used to pass for a configuration without
// aliases, so that a scenario on Demo filled the demo database and the run ended with status 0.
TEST_P(CliTest, AnAliasFileThatCannotBeReadIsRefused) {
    const std::string scenario = db.Folder().File("demo.scn");
    WriteFile(scenario,
              "[Main]\r\nAliasName=Demo\r\nTables=parts\r\n\r\n[Table parts]\r\n"
              "FieldMethod=1\r\nRecCount=1\r\nFields=\r\n\r\n");
    std::vector<std::pair<std::string, std::string>> cases = {
        {db.Folder().Path(), "Is a directory"},
        {db.Folder().File("missing.ini"), "No such file or directory"},
    };
    if (geteuid() != 0) {  // root reads every file
        const std::string locked = db.Folder().File("locked.ini");
        WriteFile(locked, "[Test]\nDRIVER=SQLITE\nPATH=x.sqlite\n");
        chmod(locked.c_str(), 0);
        cases.emplace_back(locked, "Permission denied");
    }
    for (const auto& [file, reason] : cases) {
        for (const std::string command : {"", "--list-aliases ", "--check "}) {
            const std::string args = command + "--aliases '" + file + "'" +
                                     (command == "--list-aliases " ? "" : " '" + scenario + "'");
            const RunResult result = Run(args);
            EXPECT_EQ(result.status, 1) << args;
            EXPECT_EQ(result.LastErrorLine(),
                      "rowsmith-fill: Cannot open file " + file + ": " + reason + ".")
                << args;
            EXPECT_EQ(result.out, "") << args;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(db.Folder().File("rowsmith/demo.sqlite")));
}

// Editors may start a UTF-8 file with a byte-order mark: the configuration used to read as empty.
TEST_P(CliTest, AnAliasFileWithAByteOrderMarkReads) {
    const std::string config = db.Folder().File("bom.ini");
    WriteFile(config, "\xEF\xBB\xBF" + ReadFile(db.ConfigFile()));
    const RunResult result = Run("--list-aliases --aliases '" + config + "'");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Demo\n" + db.Alias() + "\n");
}

// Names and values from a scenario reach messages: a zero byte used to cut the message short,
// invalid UTF-8 and control characters went to the terminal as they were.
TEST_P(CliTest, BytesFromFilesAreEscapedInMessages) {
    const std::string scenario = db.Folder().File("odd.scn");
    WriteFile(scenario, "[Main]\r\nAliasName=Te\0st\x1b[2J\xff\r\nTables=t\r\n\r\n"s);
    const RunResult result = Run(Aliases() + " '" + scenario + "'");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.LastErrorLine(),
              "rowsmith-fill: Unknown database alias 'Te\\x00st\\x1B[2J\\xFF'");
}

// An alias configuration whose alias Login names a user the server asks a password of.
std::string LoginAliases(TestDatabase& db) {
    const std::string config = db.Folder().File("login.ini");
    if (db.Engine() == TestEngine::MariaDB) {
        WriteFile(config, std::string("[Login]\nDRIVER=MARIADB\nSOCKET=") +
                              std::getenv("ROWSMITH_TEST_MYSOCKET") + "\nUSER NAME=rs_login\n");
    } else {
        const char* host = std::getenv("ROWSMITH_TEST_PGHOST");
        const char* port = std::getenv("ROWSMITH_TEST_PGPORT");
        WriteFile(config, std::string("[Login]\nDRIVER=POSTGRESQL\nHOST=") + host +
                              "\nPORT=" + (port != nullptr ? port : "") +
                              "\nDATABASE NAME=postgres\nUSER NAME=rs_login\n");
    }
    return config;
}

// A terminal that cannot move its cursor showed the bar's escape sequences as text.
TEST_P(CliTest, ADumbTerminalGetsPlainLines) {
    db.Execute("CREATE TABLE t (n INTEGER)");
    const std::string scenario = WriteScenario("t", 0, 500, {{"n", "5", ""}});
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        setenv("TERM", "dumb", 1);
        execl(ROWSMITH_FILL_PATH, ROWSMITH_FILL_PATH, "--aliases", db.ConfigFile().c_str(),
              scenario.c_str(), static_cast<char*>(nullptr));
        _exit(126);
    }
    ASSERT_GT(child, 0);
    std::string shown;
    char buffer[512];
    for (ssize_t got = 0; (got = read(terminal, buffer, sizeof buffer)) > 0;) {
        shown.append(buffer, static_cast<std::size_t>(got));
    }
    close(terminal);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shown;
    EXPECT_NE(shown.find("t: 500 records"), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\033'), std::string::npos) << shown;
}

TEST_P(CliTest, ASignalAtThePasswordPromptGivesTheTerminalItsEchoBack) {
    if (GetParam() == TestEngine::SQLite) {
        GTEST_SKIP() << "only a server asks for a password";
    }
    const std::string config = LoginAliases(db);
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        execl(ROWSMITH_FILL_PATH, ROWSMITH_FILL_PATH, "--list-tables", "Login", "--aliases",
              config.c_str(), static_cast<char*>(nullptr));
        _exit(126);
    }
    ASSERT_GT(child, 0);
    // Read what the program writes until `text` shows, for at most 30 s.
    std::string shown;
    const auto waitFor = [&](const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        char buffer[512];
        while (shown.find(text) == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            pollfd ready{terminal, POLLIN, 0};
            if (poll(&ready, 1, 50) > 0) {
                const ssize_t got = read(terminal, buffer, sizeof buffer);
                if (got <= 0) {
                    break;
                }
                shown.append(buffer, static_cast<std::size_t>(got));
            }
        }
        return shown.find(text) != std::string::npos;
    };
    ASSERT_TRUE(waitFor("User name")) << shown;
    ASSERT_EQ(write(terminal, "\n", 1), 1);
    ASSERT_TRUE(waitFor("Password: ")) << shown;
    // Once the echo is off, the program waits for the password.
    termios settings{};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (tcgetattr(terminal, &settings) == 0 && (settings.c_lflag & ECHO) != 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(settings.c_lflag & ECHO, 0u) << "the echo never went off";
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(tcgetattr(terminal, &settings), 0);
    close(terminal);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_NE(settings.c_lflag & ECHO, 0u) << "the terminal was left without echo";
}

TEST_P(CliTest, ALoginNobodyCanAnswerIsTheLoginError) {
    if (GetParam() == TestEngine::SQLite) {
        GTEST_SKIP() << "only a server asks for a password";
    }
    const std::string config = LoginAliases(db);
    const RunResult result = Run("--list-tables Login --aliases '" + config + "'");
    EXPECT_EQ(result.status, 1);
    // With the server's reason, since nobody could be asked.
    const std::string line = result.LastErrorLine();
    EXPECT_EQ(line.rfind("rowsmith-fill: Cannot connect to database 'Login': the server wants a "
                         "password and there is no terminal to ask for one (",
                         0),
              0u)
        << line;
    EXPECT_NE(line.find(GetParam() == TestEngine::MariaDB ? "Access denied" : "no password"),
              std::string::npos)
        << line;
}

TEST_P(CliTest, HelpAndVersion) {
    const RunResult help = Run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: rowsmith-fill", 0), 0u);
    const RunResult version = Run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out,
              "rowsmith-fill " ROWSMITH_EXPECTED_VERSION " (build " ROWSMITH_EXPECTED_BUILD ")\n");
}

TEST_P(CliTest, WrongUsageExitsWithTwo) {
    static const char* const cases[] = {
        "",
        "--frobnicate x.scn",
        "--seed",
        "--seed abc x.scn",
        "--seed -1 x.scn",
        "--seed 4294967296 x.scn",
        "a.scn b.scn",
        "--list-tables",
        "--list-aliases x.scn",
        "--check --list-aliases",
        "--dry-run --check x.scn",
        "--dry-run --list-aliases",
        "--preview 0 x.scn",
        "--preview many x.scn",
        "--format csv x.scn",
        "--preview 2 --format xml x.scn",
        "--preview 2 --check x.scn",
        "--lint --check x.scn",
        "--strict --lint x.scn",
        "--aliases",
        "--version extra",
    };
    for (const char* args : cases) {
        const RunResult result = Run(args);
        EXPECT_EQ(result.status, 2) << args;
        EXPECT_EQ(result.err.rfind("rowsmith-fill: ", 0), 0u) << args;
        EXPECT_EQ(result.out, "") << args;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, CliTest, ::testing::ValuesIn(TestEngines()), EngineParamName);

}  // namespace
}  // namespace rowsmith::test
