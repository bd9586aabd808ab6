// rowsmith-fill, run as a program on scenarios and databases in a temporary folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "test_database.h"

namespace rowsmith::test {
namespace {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;

    std::string LastErrorLine() const {
        std::string text = err;
        while (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        return text.substr(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
    }
};

class CliTest : public ::testing::TestWithParam<TestEngine> {
protected:
    CliTest() : db(GetParam()) {}

    // Runs rowsmith-fill in the database's folder with `args` (shell words), stdin from
    // /dev/null, and the user's data and configuration folders pointed into the temporary folder.
    RunResult Run(const std::string& args) {
        const std::string out = db.Folder().File("stdout.txt");
        const std::string err = db.Folder().File("stderr.txt");
        const std::string command = "cd '" + db.Folder().Path() + "' && XDG_DATA_HOME='" +
                                    db.Folder().Path() + "' XDG_CONFIG_HOME='" +
                                    db.Folder().Path() + "' '" ROWSMITH_FILL_PATH "' " + args +
                                    " >'" + out + "' 2>'" + err + "' </dev/null";
        const int raw = std::system(command.c_str());
        RunResult result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = ReadFile(out);
        result.err = ReadFile(err);
        return result;
    }

    std::string Aliases() const { return "--aliases '" + db.ConfigFile() + "'"; }

    // A scenario of one table whose columns are given as name, method and value.
    std::string WriteScenario(const std::string& table, int tableMethod, int recCount,
                              const std::vector<std::vector<std::string>>& fields) {
        std::ostringstream text;
        text << "[Main]\r\nAliasName=" << db.Alias() << "\r\nTables=" << table << "\r\n\r\n";
        text << "[Table " << table << "]\r\nFieldMethod=" << tableMethod
             << "\r\nRecCount=" << recCount << "\r\nFields=";
        for (std::size_t i = 0; i < fields.size(); ++i) {
            text << (i > 0 ? "," : "") << fields[i][0];
        }
        text << "\r\n\r\n";
        for (const auto& field : fields) {
            text << "[Field " << table << "." << field[0] << "]\r\nFillMethod=" << field[1]
                 << "\r\nFillValue=" << field[2] << "\r\n\r\n";
        }
        const std::string path = db.Folder().File("scenario.scn");
        WriteFile(path, text.str());
        return path;
    }

    std::vector<std::string> Column(const std::string& sql) {
        std::vector<std::string> values;
        for (const auto& row : db.Query(sql)) {
            values.push_back(row[0]);
        }
        return values;
    }

    TestDatabase db;
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

    // A clash half-way fails the dry run with the real run's message and exit status.
    const std::string clash = WriteScenario("t", 0, 5, {{"id", "0", ""}, {"n", "1", "3"}});
    const RunResult failed = Run("--dry-run " + Aliases() + " '" + clash + "'");
    EXPECT_EQ(Column("SELECT n FROM t ORDER BY n"), (std::vector<std::string>{"100", "200"}));
    const RunResult real = Run(Aliases() + " '" + clash + "'");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(real.status, 1);
    EXPECT_EQ(failed.LastErrorLine(), real.LastErrorLine());
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
              "{\"table\":\"t\",\"record\":{\"id\":\"\",\"n\":\"0\",\"s\":\"x\\\"y\"}}\n");
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
        "t.n: unique, but fed 1 distinct values for 3 records: it will clash\n";
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
        {0, -1, "1 - 5", "0", "", "", "rowsmith-fill: TProgressBar property out of range.", 2},
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
    EXPECT_EQ(stopped.err.rfind("t: stopped by an error\nrowsmith-fill: ", 0), 0u) << stopped.err;

    const std::string negative = WriteScenario("t", 0, -1, {{"id", "0", ""}, {"code", "0", ""}});
    const RunResult refused = Run(Aliases() + " '" + negative + "'");
    EXPECT_EQ(refused.err, "rowsmith-fill: TProgressBar property out of range.\n");
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
    EXPECT_EQ(missing.LastErrorLine(), "rowsmith-fill: Cannot open file nothing-here.scn.");

    WriteFile(db.Folder().File("notes.txt"), "just some text\n");
    const RunResult foreign = Run(Aliases() + " notes.txt");
    EXPECT_EQ(foreign.status, 1);
    EXPECT_EQ(foreign.LastErrorLine(), "rowsmith-fill: notes.txt is not a scenario file.");
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

TEST_P(CliTest, ALoginNobodyCanAnswerIsTheLoginError) {
    if (GetParam() != TestEngine::PostgreSQL) {
        GTEST_SKIP() << "only a server asks for a password";
    }
    const char* host = std::getenv("ROWSMITH_TEST_PGHOST");
    const char* port = std::getenv("ROWSMITH_TEST_PGPORT");
    const std::string config = db.Folder().File("login.ini");
    WriteFile(config, std::string("[Login]\nDRIVER=POSTGRESQL\nHOST=") + host +
                          "\nPORT=" + (port != nullptr ? port : "") +
                          "\nDATABASE NAME=postgres\nUSER NAME=rs_login\n");
    const RunResult result = Run("--list-tables Login --aliases '" + config + "'");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.LastErrorLine(), "rowsmith-fill: Cannot connect to database 'Login'");
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

INSTANTIATE_TEST_SUITE_P(Engines, CliTest, ::testing::ValuesIn(TestEngines()),
                         [](const ::testing::TestParamInfo<TestEngine>& info) {
                             return EngineName(info.param);
                         });

}  // namespace
}  // namespace rowsmith::test
