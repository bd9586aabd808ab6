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
    EXPECT_THROW(AppendCode(*cursor, "a"), EDBEngineError);
    // Still inside the run: another connection already sees the two records.
    EXPECT_EQ(CommittedCodes(), (std::vector<std::string>{"a", "b"}));
    cursor->Cancel();
    AppendCode(*cursor, "c");
    run.Finish();
    EXPECT_EQ(CommittedCodes(), (std::vector<std::string>{"a", "b", "c"}));
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
