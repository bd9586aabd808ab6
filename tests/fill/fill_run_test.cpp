// The fill run: the three table methods, what an error leaves behind, and what the reporter sees.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/database_errors.h"
#include "fill/fill_stopped.h"
#include "fill/negative_rec_count.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"
#include "text/errors.h"

namespace rowsmith::test {
namespace {

class FillRunTest : public FillTest {};

TEST_P(FillRunTest, TheThreeTableMethods) {
    static const struct {
        std::int32_t method;
        int rows;
        std::int32_t recCount;
        std::vector<std::string> n;
        std::vector<std::string> keep;
    } cases[] = {
        {tfEmptyAndFill,
         25,
         10,
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
         std::vector<std::string>(10, "")},
        {tfEmptyAndFill, 3, 0, {}, {}},
        {tfEmptyAndFill, 0, 3, {"1", "2", "3"}, {"", "", ""}},
        {tfUpdateAndFill, 3, 5, {"1", "2", "3", "4", "5"}, {"1", "2", "3", "", ""}},
        {tfUpdateAndFill, 3, 2, {"1", "2", "103"}, {"1", "2", "3"}},
        {tfUpdateAndFill, 0, 4, {"1", "2", "3", "4"}, {"", "", "", ""}},
        {tfUpdateAndFill,
         7,
         7,
         {"1", "2", "3", "4", "5", "6", "7"},
         {"1", "2", "3", "4", "5", "6", "7"}},
        {tfUpdateAndFill, 3, 0, {"101", "102", "103"}, {"1", "2", "3"}},
        {tfUpdateExisting,
         7,
         100,
         {"1", "2", "3", "4", "5", "6", "7"},
         {"1", "2", "3", "4", "5", "6", "7"}},
        {tfUpdateExisting, 0, 100, {}, {}},
    };
    for (const auto& c : cases) {
        RecordingReporter seen;
        OwnFill fresh(GetParam(), seen);
        std::string create =
            "CREATE TABLE t (id " + fresh.db.AutoIncKeyType() + ", n INTEGER, keep INTEGER)";
        fresh.db.Execute(create);
        for (int i = 1; i <= c.rows; ++i) {
            fresh.db.Execute("INSERT INTO t VALUES (" + std::to_string(i) + ", " +
                             std::to_string(100 + i) + ", " + std::to_string(i) + ")");
        }
        TFillTable& table = fresh.AddTable("t", c.method, c.recCount);
        table.Fields().Items(1).SetFillMethod(fmAutoIncrement);
        fresh.filler.FillUp();

        std::vector<std::string> n;
        std::vector<std::string> keep;
        for (const auto& row : fresh.db.Query("SELECT n, keep FROM t ORDER BY id")) {
            n.push_back(row[0]);
            keep.push_back(row[1]);
        }
        const std::string label = "method " + std::to_string(c.method) + ", " +
                                  std::to_string(c.rows) + " rows, " + std::to_string(c.recCount) +
                                  " records";
        EXPECT_EQ(n, c.n) << label;
        EXPECT_EQ(keep, c.keep) << label;
        if (c.method == tfUpdateExisting) {
            EXPECT_EQ(table.RecCount(), c.rows) << label;
            // The pass that reaches the end leaves the loop before its step.
            EXPECT_EQ(seen.written, std::max(c.rows - 1, 0)) << label;
        } else {
            EXPECT_EQ(seen.written, c.recCount) << label;
        }
    }
}

TEST_P(FillRunTest, AnAppendedRecordKeepsTheDefaultOfAnUnfilledColumn) {
    CreateTable("t", "id " + db.AutoIncKeyType() + ", n INTEGER, d INTEGER DEFAULT 42");
    SetField(AddTable("t", tfEmptyAndFill, 2), "n", fmSingleValue, "7");
    engine.FillUp();
    EXPECT_EQ(Column("t", "n"), (std::vector<std::string>{"7", "7"}));
    EXPECT_EQ(Column("t", "d"), (std::vector<std::string>{"42", "42"}));
}

TEST_P(FillRunTest, AnErrorInTheFifthPassOfTheSecondTableKeepsWhatWasPosted) {
    CreateTable("codes", "id " + db.AutoIncKeyType() + ", code VARCHAR(4)",
                {"1, 'a'", "2, 'b'", "3, 'c'", "4, 'd'"});
    CreateTable("first", "id " + db.AutoIncKeyType() + ", n INTEGER");
    CreateTable("second", "id " + db.AutoIncKeyType() + ", code VARCHAR(4) UNIQUE");
    TFillTable& first = AddTable("first", tfEmptyAndFill, 10);
    SetField(first, "n", fmAutoIncrement, "");
    SetField(AddTable("second", tfEmptyAndFill, 10), "code", fmMasterTable, "codes.code");
    engine.BindTable(first);
    reporter.calls.clear();

    EXPECT_THROW(engine.FillUp(), EDatabaseError);
    EXPECT_EQ(Count("first"), 10);
    EXPECT_EQ(Column("second", "code"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(engine.CurrentTable(), &first);
    EXPECT_EQ(engine.WorkTable().TableName(), "first");
    EXPECT_FALSE(reporter.inTable);
    EXPECT_EQ(reporter.calls.back(), "stopped");
}

// The table whose fill fails was current before: it is current again, on an open work table
// without the record the fill started, and the next run fills it.
TEST_P(FillRunTest, ATableCurrentBeforeItsFailedFillIsCurrentAfterIt) {
    CreateTable("codes", "id " + db.AutoIncKeyType() + ", code VARCHAR(4)", {"1, 'a'", "2, 'b'"});
    CreateTable("first", "id " + db.AutoIncKeyType() + ", n INTEGER");
    CreateTable("second", "id " + db.AutoIncKeyType() + ", code VARCHAR(4) UNIQUE");
    SetField(AddTable("first", tfEmptyAndFill, 3), "n", fmAutoIncrement, "");
    TFillTable& second = AddTable("second", tfEmptyAndFill, 3);
    SetField(second, "code", fmMasterTable, "codes.code");

    EXPECT_THROW(engine.FillUp(), EDatabaseError);
    EXPECT_EQ(engine.CurrentTable(), &second);
    EXPECT_EQ(engine.WorkTable().TableName(), "second");
    EXPECT_TRUE(engine.WorkTable().Active());
    EXPECT_FALSE(engine.WorkTable().Editing());

    second.SetRecCount(2);
    engine.FillUp();
    EXPECT_EQ(Column("second", "code"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(engine.CurrentTable(), &second);
}

// A table listed twice is bound once for each listing; the second fill walks the records the
// first one wrote, not those the table held when it was bound.
TEST_P(FillRunTest, ATableListedTwiceIsFilledTheSecondTimeOverTheFirst) {
    CreateTable("t", "id " + db.AutoIncKeyType() + ", n INTEGER", {"1, 9", "2, 9", "3, 9"});
    SetField(AddTable("t", tfEmptyAndFill, 2), "n", fmSingleValue, "1");
    SetField(AddTable("t", tfUpdateAndFill, 3), "n", fmSingleValue, "2");
    engine.FillUp();
    EXPECT_EQ(Column("t", "n"), (std::vector<std::string>{"2", "2", "2"}));
}

TEST_P(FillRunTest, WhatTheReporterIsToldAboutATableOfNoRecords) {
    CreateTable("t", "id " + db.AutoIncKeyType() + ", n INTEGER", {"1, 1"});
    AddTable("t", tfEmptyAndFill, 0);
    reporter.calls.clear();
    engine.FillUp();
    EXPECT_EQ(reporter.calls, (std::vector<std::string>{"check:t", "completed", "fill:t",
                                                        "writing:0", "completed"}));
    EXPECT_EQ(Count("t"), 0);
}

TEST_P(FillRunTest, ANegativeRecordCountStopsBeforeTheTableIsTouched) {
    for (std::int32_t method : {tfEmptyAndFill, tfUpdateAndFill}) {
        RecordingReporter seen;
        OwnFill fresh(GetParam(), seen);
        fresh.db.Execute("CREATE TABLE t (n INTEGER)");
        fresh.db.Execute("INSERT INTO t VALUES (1), (2), (3)");
        TFillTable& table = fresh.AddTable("t", method, -1);
        table.Fields().Items(0).SetFillMethod(fmSingleValue);
        table.Fields().Items(0).SetFillValue("9");
        try {
            fresh.filler.FillUp();
            ADD_FAILURE() << "no error";
        } catch (const ENegativeRecCount& error) {
            // The window's message; rowsmith-fill says what it means.
            EXPECT_STREQ(error.what(), "TProgressBar property out of range");
            EXPECT_EQ(error.Description(), "The record count of table \"t\" is negative: -1");
        }
        std::vector<std::string> kept;
        for (const auto& row : fresh.db.Query("SELECT n FROM t ORDER BY n")) {
            kept.push_back(row[0]);
        }
        EXPECT_EQ(kept, (std::vector<std::string>{"1", "2", "3"}));
        EXPECT_EQ(seen.calls,
                  (std::vector<std::string>{"check:t", "completed", "fill:t", "stopped"}));
    }
}

// Settings made for q(a, b, c) meet the table after its columns changed: each value goes to the
// column its setting names, and a setting whose column is gone stops the check if it writes.
TEST_P(FillRunTest, SettingsGoToTheColumnsTheyNameAfterTheColumnsChanged) {
    CreateTable("q", "a INTEGER, b INTEGER, c INTEGER");
    TFillTable& table = AddTable("q", tfEmptyAndFill, 2);
    SetField(table, "a", fmSingleValue, "1");
    SetField(table, "b", fmSingleValue, "2");
    SetField(table, "c", fmSingleValue, "3");
    const auto rows = [this] { return db.Query("SELECT * FROM q"); };
    using Rows = std::vector<std::vector<std::string>>;

    // Column a dropped: its setting has no place, and nothing is written.
    db.Execute("DROP TABLE q");
    CreateTable("q", "b INTEGER, c INTEGER");
    try {
        engine.FillUp();
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "No column for fill value. Table: \"q\". Field: \"a\"");
    }
    EXPECT_EQ(rows(), Rows{});
    // The same setting writing nothing is kept aside and the others fill their own columns.
    SetField(table, "a", fmDontFill, "");
    engine.FillUp();
    EXPECT_EQ(rows(), (Rows{{"2", "3"}, {"2", "3"}}));

    // Columns added in the middle, and the old one back at the end, in another order.
    db.Execute("DROP TABLE q");
    CreateTable("q", "x INTEGER, c INTEGER, y INTEGER, b INTEGER, a INTEGER");
    SetField(table, "a", fmSingleValue, "1");
    engine.FillUp();
    EXPECT_EQ(rows(), (Rows{{"", "3", "", "2", "1"}, {"", "3", "", "2", "1"}}));
}

TEST_P(FillRunTest, UnknownCodes) {
    CreateTable("t", "id " + db.AutoIncKeyType() + ", n INTEGER, m INTEGER", {"1, 1, 1"});
    TFillTable& table = AddTable("t", tfEmptyAndFill, 2);
    SetField(table, "n", 1000, "5");
    SetField(table, "m", fmSingleValue, "6");
    engine.FillUp();
    EXPECT_EQ(Column("t", "n"), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Column("t", "m"), (std::vector<std::string>{"6", "6"}));

    table.SetTableFillMethod(3);
    try {
        engine.FillUp();
        FAIL() << "no error";
    } catch (const EDatabaseError& error) {
        EXPECT_STREQ(error.what(), "Dataset not in edit or insert mode");
    }
    EXPECT_EQ(Count("t"), 2);
    EXPECT_FALSE(reporter.inTable);
}

TEST_P(FillRunTest, ATableMayBeItsOwnMaster) {
    for (std::int32_t method : {tfEmptyAndFill, tfUpdateAndFill, tfUpdateExisting}) {
        RecordingReporter seen;
        OwnFill fresh(GetParam(), seen);
        fresh.db.Execute("CREATE TABLE t (id " + fresh.db.AutoIncKeyType() + ", n INTEGER)");
        fresh.db.Execute("INSERT INTO t VALUES (1, 1), (2, 2), (3, 3)");
        TFillTable& table = fresh.AddTable("t", method, 5);
        table.Fields().Items(1).SetFillMethod(fmMasterTable);
        table.Fields().Items(1).SetFillValue("t.n");
        fresh.filler.FillUp();
        const auto rows = fresh.db.Query("SELECT n FROM t ORDER BY id");
        EXPECT_EQ(rows.size(), method == tfUpdateExisting ? 3u : 5u) << method;
        for (const auto& row : rows) {
            EXPECT_TRUE(row[0] == "" || row[0] == "1" || row[0] == "2" || row[0] == "3")
                << method << ": " << row[0];
        }
    }
}

// A listener that asks the engine to stop once `stopAt` records of the run were written, as the
// window's Esc or rowsmith-fill's signal handler does.
struct StoppingReporter : RecordingReporter {
    void WritingStarted(std::int64_t records) override {
        RecordingReporter::WritingStarted(records);
        before = steps;
    }
    void RecordsWritten(std::int64_t count) override {
        RecordingReporter::RecordsWritten(count);
        steps = before + count;
        if (steps == stopAt) {
            engine->RequestStop();
        }
    }
    FillEngine* engine = nullptr;
    std::int64_t stopAt = 0;
    // Records written in the run so far, over its tables, and before the current table.
    std::int64_t steps = 0;
    std::int64_t before = 0;
};

// A stop request ends the fill after the record being written: the posted records are committed
// (no more than that: the table's records after them are untouched), and the error says which
// table and how many of its records were kept. The request is for that run only.
TEST_P(FillRunTest, AStopRequestEndsTheFillAtARecordBoundary) {
    StoppingReporter stopping;
    OwnFill fresh(GetParam(), stopping);
    stopping.engine = &fresh.filler;
    stopping.stopAt = 13;
    for (const char* name : {"a", "b"}) {
        fresh.db.Execute(std::string("CREATE TABLE ") + name + " (id INTEGER PRIMARY KEY)");
        fresh.db.Execute(std::string("INSERT INTO ") + name + " VALUES (-1), (-2)");
        TFillTable& table = fresh.AddTable(name, tfEmptyAndFill, 10);
        table.Fields().Items(0).SetFillMethod(fmAutoIncrement);
    }
    fresh.scenario.Tables().Items(1).SetTableFillMethod(tfUpdateAndFill);
    fresh.scenario.Tables().Items(1).SetRecCount(1000);
    try {
        fresh.filler.FillUp();
        ADD_FAILURE() << "no stop";
    } catch (const EFillStopped& stopped) {
        EXPECT_EQ("b", stopped.TableName());
        EXPECT_EQ(3, stopped.RecordsKept());
        EXPECT_STREQ("Filling stopped in table \"b\" after 3 records, which are kept",
                     stopped.what());
    }
    const auto ids = [&](const char* table) {
        std::vector<std::string> values;
        const std::string sql = std::string("SELECT id FROM ") + table + " ORDER BY id";
        for (const auto& row : fresh.db.Query(sql)) {
            values.push_back(row[0]);
        }
        return values;
    };
    EXPECT_EQ(10u, ids("a").size());
    // The two records were overwritten with 1 and 2, a third appended; nothing half written.
    EXPECT_EQ(std::vector<std::string>({"1", "2", "3"}), ids("b"));

    // The next run is not stopped.
    stopping.stopAt = -1;
    fresh.filler.FillUp();
    EXPECT_EQ(1000u, ids("b").size());

    // A request before the run stops it before its first table is emptied.
    fresh.filler.RequestStop();
    try {
        fresh.filler.FillUp();
        ADD_FAILURE() << "no stop";
    } catch (const EFillStopped& stopped) {
        EXPECT_EQ("a", stopped.TableName());
        EXPECT_EQ(0, stopped.RecordsKept());
        EXPECT_STREQ("Filling stopped in table \"a\" before its first record", stopped.what());
    }
    EXPECT_EQ(10u, ids("a").size());

    // A stop after the table was emptied for the fill says that its former records are gone.
    fresh.scenario.Tables().Items(1).SetTableFillMethod(tfEmptyAndFill);
    stopping.stopAt = stopping.steps + 13;
    try {
        fresh.filler.FillUp();
        ADD_FAILURE() << "no stop";
    } catch (const EFillStopped& stopped) {
        EXPECT_STREQ(
            "Filling stopped in table \"b\" after 3 records, which are kept; its former "
            "records were removed",
            stopped.what());
    }
    EXPECT_EQ(std::vector<std::string>({"1", "2", "3"}), ids("b"));
}

// A database's message need not name the table it was writing (MariaDB's "Column 'v' cannot be
// null" does not) nor say what the fill kept: a line after it does, counted once the fill ended.
TEST_P(FillRunTest, ADatabaseErrorNamesTheTableAndTheRecordsItHolds) {
    CreateTable("t", "id INTEGER, code VARCHAR(5) UNIQUE, v INTEGER NOT NULL",
                {"-1, 'old1', 1", "-2, 'old2', 2"});
    CreateTable("m", "x INTEGER", {"NULL"});
    TFillTable& table = AddTable("t", tfEmptyAndFill, 5);
    SetField(table, "id", fmAutoIncrement, "");
    static const struct {
        const char* what;
        std::int32_t codeMethod;
        std::int32_t vMethod;
        const char* vValue;
        const char* held;
    } cases[] = {
        {"the second record's code is taken", fmSingleValue, fmSingleValue, "1", "1 record"},
        {"the first record's v is left out", fmAutoIncrement, fmDontFill, "", "0 records"},
        {"the first record's v is null", fmAutoIncrement, fmMasterTable, "m.x", "0 records"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetField(table, "code", c.codeMethod, "q");
        SetField(table, "v", c.vMethod, c.vValue);
        try {
            engine.FillUp();
            ADD_FAILURE() << "no error";
        } catch (const EDBEngineError& error) {
            const std::string message = error.what();
            const std::string last = message.substr(message.rfind('\n') + 1);
            EXPECT_EQ(last,
                      std::string("Filling stopped in table \"t\", which now holds ") + c.held);
        }
        EXPECT_EQ(std::to_string(Count("t")) + (Count("t") == 1 ? " record" : " records"), c.held);
    }
}

// The server ends the fill's connection: the line after its message tells what stayed, counted
// on a connection opened again.
TEST_P(FillRunTest, AKilledConnectionSaysHowManyRecordsTheTableHolds) {
    if (GetParam() != TestEngine::PostgreSQL) {
        GTEST_SKIP() << "the MariaDB case is in its driver's tests; SQLite has no connection";
    }
    CreateTable("t", "id INTEGER, v VARCHAR(5)");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 30000);
    SetField(table, "id", fmAutoIncrement, "");
    SetField(table, "v", fmRandomFromSet, "a,b,c");
    int posted = 0;
    engine.SetRecordObserver([&](const TableCursor&) {
        if (++posted == 13210) {
            db.Execute(
                "SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                " WHERE datname = current_database() AND pid <> pg_backend_pid()");
        }
    });
    try {
        engine.FillUp();
        ADD_FAILURE() << "no error";
    } catch (const EDBEngineError& error) {
        const std::string message = error.what();
        EXPECT_EQ(message.substr(message.rfind('\n') + 1),
                  "Filling stopped in table \"t\", which now holds " + std::to_string(Count("t")) +
                      " records");
    }
    EXPECT_LT(Count("t"), 13210);
}

INSTANTIATE_TEST_SUITE_P(Engines, FillRunTest, ::testing::ValuesIn(TestEngines()), EngineParamName);

}  // namespace
}  // namespace rowsmith::test
