// rowsmith-fill --export, and --preview's CSV and JSON Lines, read back by other tools: Python's
// csv and json modules, jq, and the database itself loading the exported SQL.
#include <string>
#include <vector>

#include "cli_fixture.h"

namespace rowsmith::test {
namespace {

class ExportTest : public CliFixture {
protected:
    // Master tables holding the values that break careless writers (NULL, a zero byte, a comma,
    // quotes, a line feed, an emoji, and on SQLite a text that is not UTF-8), and a table `t`
    // that the scenario fills from them row by row, its key counting up.
    std::string OddValuesScenario() {
        const bool pg = db.Engine() == TestEngine::PostgreSQL;
        const bool sqlite = db.Engine() == TestEngine::SQLite;
        const std::string bytes = pg ? "bytea" : "BLOB";
        const std::string real = pg ? "float8" : sqlite ? "REAL" : "DOUBLE";
        db.Execute("CREATE TABLE t (k INTEGER, s VARCHAR(20), b " + bytes + ", r " + real + ")");
        db.Execute("CREATE TABLE ms (v VARCHAR(20))");
        db.Execute("CREATE TABLE mb (v " + bytes + ")");
        db.Execute("CREATE TABLE mr (v " + real + ")");
        const auto blob = [&](const std::string& hex) {
            return pg ? "'\\x" + hex + "'::bytea" : "X'" + hex + "'";
        };
        db.Execute(
            "INSERT INTO ms VALUES (NULL), ('a,b '), ('say \"hi\"'), ('line\nfeed'), "
            "('\xF0\x9F\x98\x80 emoji')");
        db.Execute("INSERT INTO mb VALUES (" + blob("00ff41") + "), (NULL), (" + blob("222c0a") +
                   "), (NULL), (NULL)");
        db.Execute("INSERT INTO mr VALUES (0.1), (-2.5e-300), (1e300), (NULL), (3)");
        records_ = 5;
        if (sqlite) {
            db.Execute("INSERT INTO ms VALUES (CAST(X'41ff42' AS TEXT))");
            db.Execute("INSERT INTO mb VALUES (NULL)");
            db.Execute("INSERT INTO mr VALUES (NULL)");
            records_ = 6;
        }
        return WriteScenario(
            "t", 0, records_,
            {{"k", "5", ""}, {"s", "7", "ms.v"}, {"b", "7", "mb.v"}, {"r", "7", "mr.v"}});
    }

    std::string Args(const std::string& scenario) const {
        return " --seed 0 " + Aliases() + " '" + scenario + "'";
    }

    // What a Python program prints, given the script and a file as its argument.
    std::string Python(const std::string& script, const std::string& file) {
        WriteFile(db.Folder().File("read.py"), script);
        return Shell("python3 read.py '" + file + "'");
    }

    std::string Shell(const std::string& command) {
        const std::string out = db.Folder().File("tool.txt");
        const int status = std::system(
            ("cd '" + db.Folder().Path() + "' && " + command + " >'" + out + "'").c_str());
        EXPECT_EQ(status, 0) << command;
        return ReadFile(out);
    }

    std::string ValuesOf(const std::string& table) {
        const std::string hex =
            db.Engine() == TestEngine::PostgreSQL ? "upper(encode(b, 'hex'))" : "hex(b)";
        std::string text;
        for (const auto& row :
             db.Query("SELECT k, s, " + hex + ", r FROM " + table + " ORDER BY k")) {
            for (const std::string& value : row) {
                text += "[" + value + "]";
            }
            text += "\n";
        }
        return text;
    }

    int records_ = 0;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         start = end + 1, end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

TEST_P(ExportTest, CsvReadsBackInPythonWithNullEmptyAndBytesInBase64) {
    const std::string scenario = OddValuesScenario();
    const RunResult run = Run("--export out" + Args(scenario));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string csv = ReadFile(db.Folder().File("out/t.csv"));
    EXPECT_EQ(csv.substr(0, csv.find("\r\n3,")), "k,s,b,r\r\n1,,AP9B,0.1\r\n2,\"a,b \",,-2.5e-300");

    std::string expected =
        "[[\"k\", \"s\", \"b\", \"r\"], [\"1\", \"\", \"AP9B\", \"0.1\"], "
        "[\"2\", \"a,b \", \"\", \"-2.5e-300\"], [\"3\", \"say \\\"hi\\\"\", \"IiwK\", "
        "\"1e+300\"], [\"4\", \"line\\nfeed\", \"\", \"\"], [\"5\", \"\\ud83d\\ude00 emoji\", "
        "\"\", \"3\"]";
    expected +=
        db.Engine() == TestEngine::SQLite ? ", [\"6\", \"A\\udcffB\", \"\", \"\"]]\n" : "]\n";
    EXPECT_EQ(Python("import csv, json, sys\n"
                     "with open(sys.argv[1], newline='', encoding='utf-8',\n"
                     "          errors='surrogateescape') as f:\n"
                     "    print(json.dumps(list(csv.reader(f))))\n",
                     "out/t.csv"),
              expected);

    // The preview prints the same lines after a column naming the table.
    const RunResult preview = Run("--preview 10 --format csv" + Args(scenario));
    ASSERT_EQ(preview.status, 0) << preview.err;
    std::string withTable = "table," + csv.substr(0, csv.find("\r\n") + 2);
    for (std::size_t start = csv.find("\r\n") + 2; start < csv.size();) {
        std::size_t end = csv.find("\r\n", start) + 2;
        withTable += "t," + csv.substr(start, end - start);
        start = end;
    }
    EXPECT_EQ(preview.out, withTable);
}

TEST_P(ExportTest, JsonLinesAreValidUtf8JsonWithTypedValues) {
    const std::string scenario = OddValuesScenario();
    const RunResult run = Run("--export=out --format=jsonl" + Args(scenario));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string jsonl = ReadFile(db.Folder().File("out/t.jsonl"));
    EXPECT_EQ(Lines(jsonl).front(),
              "{\"table\":\"t\",\"record\":{\"k\":1,\"s\":null,\"b\":\"AP9B\",\"r\":0.1}}");

    // Read as strict UTF-8, each line one object.
    std::string expected =
        "{\"record\": {\"b\": \"AP9B\", \"k\": 1, \"r\": 0.1, \"s\": null}, \"table\": \"t\"}\n"
        "{\"record\": {\"b\": null, \"k\": 2, \"r\": -2.5e-300, \"s\": \"a,b \"}, \"table\": "
        "\"t\"}\n"
        "{\"record\": {\"b\": \"IiwK\", \"k\": 3, \"r\": 1e+300, \"s\": \"say \\\"hi\\\"\"}, "
        "\"table\": \"t\"}\n"
        "{\"record\": {\"b\": null, \"k\": 4, \"r\": null, \"s\": \"line\\nfeed\"}, \"table\": "
        "\"t\"}\n"
        "{\"record\": {\"b\": null, \"k\": 5, \"r\": 3, \"s\": \"\\ud83d\\ude00 emoji\"}, "
        "\"table\": \"t\"}\n";
    if (db.Engine() == TestEngine::SQLite) {
        expected +=
            "{\"record\": {\"b\": null, \"k\": 6, \"r\": null, \"s\": \"A\\udcffB\"}, \"table\": "
            "\"t\"}\n";
    }
    EXPECT_EQ(Python("import json, sys\n"
                     "for line in open(sys.argv[1], encoding='utf-8'):\n"
                     "    print(json.dumps(json.loads(line), sort_keys=True))\n",
                     "out/t.jsonl"),
              expected);
    EXPECT_EQ(Shell("jq -r '.record.k' out/t.jsonl"),
              db.Engine() == TestEngine::SQLite ? "1\n2\n3\n4\n5\n6\n" : "1\n2\n3\n4\n5\n");
    EXPECT_EQ(Shell("jq -r 'select(.record.k == 4) | .record.s' out/t.jsonl"), "line\nfeed\n");

    const RunResult preview = Run("--preview 10 --format jsonl" + Args(scenario));
    ASSERT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(preview.out, jsonl);
}

TEST_P(ExportTest, SqlLoadsIntoTheDatabaseAsTheRecordsOfARealFill) {
    const std::string scenario = OddValuesScenario();
    const RunResult run = Run("--export out --format sql" + Args(scenario));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(db.QueryValue("SELECT count(*) FROM t"), "0") << "an export writes nothing";
    db.Execute(ReadFile(db.Folder().File("out/t.sql")));
    const std::string loaded = ValuesOf("t");

    ASSERT_EQ(Run(Args(scenario)).status, 0);
    EXPECT_EQ(loaded, ValuesOf("t"));
    EXPECT_NE(loaded.find("00FF41"), std::string::npos) << loaded;
}

TEST_P(ExportTest, ColumnsLeftAloneGetTheirDefaultsAndEveryTableHasItsFile) {
    db.Execute("CREATE TABLE a (id " + db.AutoIncKeyType() + ", n INTEGER DEFAULT 7, m INTEGER)");
    const std::string scenario =
        WriteScenario("a", 0, 3, {{"id", "0", ""}, {"n", "0", ""}, {"m", "5", ""}});
    ASSERT_EQ(Run("--export out --format sql" + Args(scenario)).status, 0);
    db.Execute(ReadFile(db.Folder().File("out/a.sql")));
    EXPECT_EQ(db.Query("SELECT n, m FROM a ORDER BY id"),
              (std::vector<std::vector<std::string>>{{"7", "1"}, {"7", "2"}, {"7", "3"}}));
}

TEST_P(ExportTest, MoneyKeepsEveryDigit) {
    const std::string money = db.Engine() == TestEngine::PostgreSQL ? "money"
                              : db.Engine() == TestEngine::MariaDB  ? "DECIMAL(19,4)"
                                                                    : "MONEY";
    db.Execute("CREATE TABLE m (v " + money + ")");
    const std::string scenario = WriteScenario("m", 0, 1, {{"v", "1", "12345678901234.56"}});
    ASSERT_EQ(Run("--export out --format jsonl" + Args(scenario)).status, 0);
    EXPECT_EQ(ReadFile(db.Folder().File("out/m.jsonl")),
              "{\"table\":\"m\",\"record\":{\"v\":12345678901234.56}}\n");

    ASSERT_EQ(Run("--export out --format sql" + Args(scenario)).status, 0);
    db.Execute(ReadFile(db.Folder().File("out/m.sql")));
    const std::string loaded = db.QueryValue("SELECT v FROM m");
    ASSERT_EQ(Run(Args(scenario)).status, 0);
    EXPECT_EQ(db.QueryValue("SELECT v FROM m"), loaded);
}

TEST_P(ExportTest, TheTableFormatKeepsEachRecordToOneLine) {
    const RunResult table = Run("--preview 10" + Args(OddValuesScenario()));
    ASSERT_EQ(table.status, 0) << table.err;
    const std::vector<std::string> lines = Lines(table.out);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(3 + records_)) << table.out;
    EXPECT_NE(lines[3].find("\\x00\\xffA"), std::string::npos) << lines[3];
    EXPECT_NE(lines[6].find("line\\nfeed"), std::string::npos) << lines[6];
}

INSTANTIATE_TEST_SUITE_P(Engines, ExportTest, ::testing::ValuesIn(TestEngines()), EngineParamName);

}  // namespace
}  // namespace rowsmith::test
