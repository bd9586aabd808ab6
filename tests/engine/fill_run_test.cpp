// How writes meet transactions: a fill run groups them, a post outside a run commits at once,
// and a failing post keeps exactly the records posted before it.
#include "engine/database_errors.h"
#include "engine/fill_run_scope.h"
#include "engine_fixture.h"

namespace rowsmith::test {
namespace {

class FillRunTest : public EngineTest {
protected:
    void SetUp() override {
        db_.Execute("CREATE TABLE codes (id " + db_.AutoIncKeyType() +
                    ", code VARCHAR(10) UNIQUE, n INTEGER)");
    }

    static void AppendCode(TableCursor& cursor, const std::string& code) {
        cursor.Append();
        cursor.FieldAt(1).WriteString(code);
        cursor.Post();
    }

    // What another connection sees: only committed records.
    std::vector<std::string> CommittedCodes() {
        std::vector<std::string> codes;
        for (const auto& row : db_.Query("SELECT code FROM codes ORDER BY id")) {
            codes.push_back(row[0]);
        }
        return codes;
    }
};

TEST_P(FillRunTest, OutsideARunEachPostCommitsAtOnce) {
    auto cursor = OpenTable("codes");
    AppendCode(*cursor, "a");
    EXPECT_EQ(CommittedCodes(), (std::vector<std::string>{"a"}));
    cursor->First();
    cursor->Edit();
    cursor->FieldAt(1).WriteString("b");
    cursor->Post();
    EXPECT_EQ(CommittedCodes(), (std::vector<std::string>{"b"}));
}

TEST_P(FillRunTest, ARunCommitsEverythingWhenItFinishes) {
    auto cursor = OpenTable("codes", true);
    FillRunScope run(db_.Alias());
    cursor->DeleteAllRecords();
    for (int i = 0; i < 100; ++i) {
        AppendCode(*cursor, "c" + std::to_string(i));
    }
    run.Finish();
    EXPECT_EQ(Count("codes"), 100);
}

TEST_P(FillRunTest, ARecordRefusedMidRunKeepsTheRecordsBeforeIt) {
    auto cursor = OpenTable("codes", true);
    std::string message;
    try {
        FillRunScope run(db_.Alias());
        for (const char* code : {"a", "b", "c", "b", "d"}) {
            AppendCode(*cursor, code);
        }
        run.Finish();
    } catch (const EDBEngineError& error) {
        message = error.what();
    }
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(CommittedCodes(), (std::vector<std::string>{"a", "b", "c"}));
    cursor->Close();
    EXPECT_EQ(Count("codes"), 3);
}

TEST_P(FillRunTest, TheErrorLeavesTheEngineWithTheRecordsBeforeItCommitted) {
    if (db_.Engine() != TestEngine::SQLite) {
        GTEST_SKIP() << "PostgreSQL sends records in batches and reports a refusal with its batch";
    }
    auto cursor = OpenTable("codes", true);
    FillRunScope run(db_.Alias());
    AppendCode(*cursor, "a");
    AppendCode(*cursor, "b");
    // A run holds records back: the refusal comes with the post or, at the latest, with the next
    // use of the table.
    EXPECT_THROW(
        {
            AppendCode(*cursor, "a");
            cursor->CountRecords();
        },
        EDBEngineError);
    // Still inside the run: another connection already sees the two records.
    EXPECT_EQ(CommittedCodes(), (std::vector<std::string>{"a", "b"}));
    cursor->Cancel();
    AppendCode(*cursor, "c");
    run.Finish();
    EXPECT_EQ(CommittedCodes(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_P(FillRunTest, ARecordRefusedAmongManyKeepsExactlyTheRecordsBeforeIt) {
    // Enough records that a driver sending several at a time meets the refusal within a group.
    auto cursor = OpenTable("codes", true);
    std::string message;
    try {
        FillRunScope run(db_.Alias());
        for (int i = 0; i < 300; ++i) {
            AppendCode(*cursor, "c" + std::to_string(i == 200 ? 5 : i));
        }
        run.Finish();
    } catch (const EDBEngineError& error) {
        message = error.what();
    }
    EXPECT_FALSE(message.empty());
    const std::vector<std::string> codes = CommittedCodes();
    ASSERT_EQ(codes.size(), 200U);
    EXPECT_EQ(codes.back(), "c199");
}

TEST_P(FillRunTest, ReadsWithinARunSeeEveryRecordPosted) {
    if (db_.Engine() != TestEngine::SQLite) {
        GTEST_SKIP() << "The servers read a table being filled through a second connection";
    }
    auto cursor = OpenTable("codes", true);
    auto reader = OpenTable("codes");
    FillRunScope run(db_.Alias());
    for (int i = 0; i < 100; ++i) {
        AppendCode(*cursor, "c" + std::to_string(i));
    }
    EXPECT_EQ(cursor->CountRecords(), 100);
    AppendCode(*cursor, "last");
    int read = 0;
    for (reader->First(); !reader->AtEnd(); reader->Next()) {
        ++read;
    }
    EXPECT_EQ(read, 101);
    run.Finish();
}

TEST_P(FillRunTest, ARecordPointingAheadInItsOwnTableIsRefusedAsItIsPosted) {
    if (db_.Engine() != TestEngine::SQLite) {
        GTEST_SKIP() << "SQLite is the engine that may send several records in one statement";
    }
    db_.Execute(
        "CREATE TABLE nodes (id INTEGER PRIMARY KEY, parent INTEGER REFERENCES nodes (id))");
    auto cursor = OpenTable("nodes", true);
    std::string message;
    try {
        FillRunScope run(db_.Alias());
        for (int id = 1; id <= 100; ++id) {
            cursor->Append();
            cursor->FieldAt(0).WriteInteger(id);
            // Record 10 points at the record after it, which is not there yet.
            cursor->FieldAt(1).WriteInteger(id == 10 ? 11 : std::max(id - 1, 1));
            cursor->Post();
        }
        run.Finish();
    } catch (const EDBEngineError& error) {
        message = error.what();
    }
    EXPECT_NE(message.find("FOREIGN KEY"), std::string::npos) << message;
    EXPECT_EQ(Count("nodes"), 9);
}

TEST_P(FillRunTest, UpdatesInARunAreCommittedToo) {
    db_.Execute("INSERT INTO codes (code, n) VALUES ('x', 1), ('y', 2), ('z', 3)");
    auto cursor = OpenTable("codes", true);
    {
        FillRunScope run(db_.Alias());
        while (!cursor->AtEnd()) {
            cursor->Edit();
            cursor->FieldAt(2).WriteInteger(10);
            cursor->Post();
            cursor->Next();
        }
    }
    EXPECT_EQ(db_.QueryValue("SELECT sum(n) FROM codes"), "30");
}

INSTANTIATE_TEST_SUITE_P(Engines, FillRunTest, ::testing::ValuesIn(TestEngines()), EngineTestName);

}  // namespace
}  // namespace rowsmith::test
