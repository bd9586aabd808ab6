// LOCK TIMEOUT: how long a statement waits for a lock another connection holds, on every engine.
// A PostgreSQL fill used to wait for such a lock without end, and SQLite gave up after a fixed
// three seconds; now both wait the alias's LOCK TIMEOUT (5 s when not given, 0 for as long as it
// takes) and the message names the table.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/database_errors.h"
#include "engine/fill_run_scope.h"
#include "engine_fixture.h"

namespace rowsmith::test {
namespace {

using Clock = std::chrono::steady_clock;

class LockTimeoutTest : public EngineTest {
protected:
    void SetUp() override { db_.Execute("CREATE TABLE t (id INTEGER PRIMARY KEY, v INTEGER)"); }
    void TearDown() override { Release(); }

    // Another connection takes a lock on t that keeps this one from writing it (`forReading`:
    // also from reading it), until Release or, so that a test of a wait without end cannot hang
    // the suite, `safety` has passed.
    void Hold(bool forReading, std::chrono::milliseconds safety = std::chrono::seconds(20)) {
        if (db_.Engine() == TestEngine::SQLite) {
            db_.Execute(forReading ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE");
            db_.Execute("INSERT INTO t VALUES (99, 99)");
        } else if (db_.Engine() == TestEngine::PostgreSQL) {
            db_.Execute(forReading ? "BEGIN; LOCK TABLE t IN ACCESS EXCLUSIVE MODE"
                                   : "BEGIN; LOCK TABLE t IN SHARE MODE");
        } else {
            db_.Execute(forReading ? "LOCK TABLES t WRITE" : "LOCK TABLES t READ");
        }
        ReleaseLater(safety);
    }

    // Another connection reads t in a transaction that stays open until Release or `safety`.
    void HoldReading(std::chrono::milliseconds safety = std::chrono::seconds(20)) {
        db_.Execute("BEGIN");
        db_.QueryValue("SELECT count(*) FROM t");
        ReleaseLater(safety);
    }

    void ReleaseLater(std::chrono::milliseconds safety) {
        releaser_ = std::thread([this, safety] {
            std::unique_lock<std::mutex> lock(mutex_);
            released_.wait_for(lock, safety, [this] { return release_; });
            db_.Execute(db_.Engine() == TestEngine::MariaDB ? "UNLOCK TABLES" : "ROLLBACK");
        });
    }

    void Release() {
        if (releaser_.joinable()) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                release_ = true;
            }
            released_.notify_one();
            releaser_.join();
        }
    }

    // Appends one record to t through a cursor in a fill run, as a fill writes.
    void Write() {
        auto cursor = OpenTable("t", true);
        FillRunScope run(db_.Alias());
        AppendRecord(*cursor, {"1", "2"});
        run.Finish();
    }

    // The message of the ELockTimeout `body` raises, and the seconds until it did.
    template <typename Body>
    std::pair<std::string, double> TimedLockTimeout(Body body) {
        const Clock::time_point start = Clock::now();
        std::string message = MessageOf<ELockTimeout>(body);
        return {message, std::chrono::duration<double>(Clock::now() - start).count()};
    }

    std::thread releaser_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool release_ = false;
};

const char kNamed[] =
    "Table \"t\" stayed locked by another connection longer than the alias's LOCK TIMEOUT";

TEST_P(LockTimeoutTest, AWriteWaitsFiveSecondsByDefault) {
    Hold(false);
    const auto [message, seconds] = TimedLockTimeout([this] { Write(); });
    EXPECT_NE(message.find(kNamed), std::string::npos) << message;
    EXPECT_GE(seconds, 4.5);
    EXPECT_LT(seconds, 15.0);
    Release();
    EXPECT_EQ("0", db_.QueryValue("SELECT count(*) FROM t"));
}

TEST_P(LockTimeoutTest, TheAliasSetsTheWaitForWritingAndReading) {
    db_.AddAliasKey("LOCK TIMEOUT = 1");
    Hold(false);
    auto [message, seconds] = TimedLockTimeout([this] { Write(); });
    EXPECT_NE(message.find(kNamed), std::string::npos) << message;
    EXPECT_GE(seconds, 0.9);
    EXPECT_LT(seconds, 4.5);
    Release();

    // A lock that keeps even readers out stops the cursor's first read.
    release_ = false;
    Hold(true);
    std::tie(message, seconds) = TimedLockTimeout([this] { OpenTable("t"); });
    EXPECT_NE(message.find(kNamed), std::string::npos) << message;
    EXPECT_GE(seconds, 0.9);
    EXPECT_LT(seconds, 4.5);
}

// The servers batch a run's writes in one transaction: the records of another table written
// before the locked one are kept, and the lock is waited for once, not again by the replay.
TEST_P(LockTimeoutTest, TheRecordsBeforeTheLockedTableAreKept) {
    if (db_.Engine() == TestEngine::SQLite) {
        GTEST_SKIP() << "SQLite locks the whole database";
    }
    db_.Execute("CREATE TABLE a (id INTEGER PRIMARY KEY)");
    db_.AddAliasKey("LOCK TIMEOUT=1");
    Hold(false);
    auto first = OpenTable("a", true);
    auto locked = OpenTable("t", true);
    const auto [message, seconds] = TimedLockTimeout([&] {
        FillRunScope run(db_.Alias());
        for (const char* id : {"1", "2", "3"}) {
            AppendRecord(*first, {id});
        }
        AppendRecord(*locked, {"1", "2"});
        run.Finish();
    });
    EXPECT_NE(message.find(kNamed), std::string::npos) << message;
    EXPECT_LT(seconds, 1.9);
    Release();
    EXPECT_EQ(3, Count("a"));
}

// SQLite writes a large transaction's pages to the database file before its commit, which
// another program's reader prevents. The fill used to wait LOCK TIMEOUT for each page again, until
// the reader went away; one wait of LOCK TIMEOUT now stops it.
TEST_P(LockTimeoutTest, AReaderHoldsAFillUpNoLongerThanTheTimeout) {
    if (db_.Engine() != TestEngine::SQLite) {
        GTEST_SKIP() << "the servers' readers do not keep writers waiting";
    }
    db_.Execute("CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT)");
    db_.AddAliasKey("LOCK TIMEOUT=1");
    HoldReading();
    auto cursor = OpenTable("notes", true);
    // Some megabytes: more than SQLite keeps in memory before it writes to the file.
    const std::string body(1000, 'x');
    const auto [message, seconds] = TimedLockTimeout([&] {
        FillRunScope run(db_.Alias());
        for (int i = 0; i < 10000; ++i) {
            AppendRecord(*cursor, {"", body});
        }
        run.Finish();
    });
    EXPECT_NE(message.find("Table \"notes\" stayed locked by another connection"),
              std::string::npos)
        << message;
    EXPECT_LT(seconds, 4.5);
    Release();
    EXPECT_EQ(0, Count("notes"));
}

TEST_P(LockTimeoutTest, ZeroWaitsAsLongAsItTakes) {
    db_.AddAliasKey("LOCK TIMEOUT=0");
    // Longer than SQLite's former fixed wait of three seconds.
    Hold(false, std::chrono::milliseconds(3500));
    Write();
    Release();
    EXPECT_EQ("1", db_.QueryValue("SELECT count(*) FROM t"));
}

TEST_P(LockTimeoutTest, AWrongValueIsRefusedNamingTheAlias) {
    for (const char* value : {"abc", "-1", "1.5", "2147484", "5s"}) {
        TestDatabase db(GetParam());
        db.AddAliasKey(std::string("LOCK TIMEOUT=") + value);
        const std::string message = MessageOf<EDBEngineError>([&] {
            TableCursor cursor;
            cursor.SetDatabaseName(db.Alias());
            cursor.SetTableName("t");
            cursor.Open();
        });
        EXPECT_EQ(message.rfind("LOCK TIMEOUT of alias 'Test' must be a whole number of seconds "
                                "from 0 to 2147483, not '",
                                0),
                  0u)
            << message;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, LockTimeoutTest, ::testing::ValuesIn(TestEngines()),
                         EngineTestName);

}  // namespace
}  // namespace rowsmith::test
