// A fill run holds the tables it writes locked from its first change to its end: other sessions
// read them all along but cannot change them, a second fill of the same table waits for the
// first, and what a refusal keeps is committed in one piece with the emptying before it.
#include <atomic>
#include <string>
#include <thread>

#include "engine/database_errors.h"
#include "pg_fixture.h"

namespace rowsmith::test {
namespace {

class PgTableLockTest : public PgDriverTest {
protected:
    // Past two batches of 20000, so that the run has ended batches before the checks.
    static constexpr int kPastBatches = 45000;

    void SetUp() override {
        PgDriverTest::SetUp();
        if (!IsSkipped()) {
            db_->Execute(
                "CREATE TABLE held (k integer PRIMARY KEY, v text NOT NULL);"
                "INSERT INTO held VALUES (0, 'old')");
        }
    }

    static void Post(TableDriver& table, int from, int to, const std::string& value) {
        for (int k = from; k <= to; ++k) {
            table.Insert({std::int64_t{k}, value}, {true, true});
        }
    }

    // The error another session's `sql` meets, waiting a fifth of a second for locks.
    std::string OtherSession(const std::string& sql) {
        try {
            db_->Execute("SET lock_timeout = 200; " + sql + "; RESET lock_timeout");
        } catch (const std::exception& error) {
            db_->Execute("RESET lock_timeout");
            return error.what();
        }
        return "";
    }

    // A connection of its own, as another program or a second fill would have, that waits
    // `seconds` for a lock.
    std::unique_ptr<Connection> OtherConnection(const char* seconds) {
        AliasConfig other = alias_;
        other.lockTimeout = seconds;
        return ConnectPostgres(other, nullptr);
    }

    // Until a session waits for a lock on `table`.
    void AwaitWaiter(const std::string& table = "held") {
        while (db_->QueryValue("SELECT count(*) FROM pg_locks WHERE NOT granted"
                               " AND relation = '" +
                               table + "'::regclass") == "0") {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    // Queues `session` for the whole of `table`, as TRUNCATE or ALTER TABLE would be, behind the
    // run that holds it.
    void QueueForTheWholeTable(PGconn* session, const std::string& table) {
        const std::string lock = "BEGIN; LOCK TABLE " + table + " IN ACCESS EXCLUSIVE MODE";
        ASSERT_EQ(PQsendQuery(session, lock.c_str()), 1);
        AwaitWaiter(table);
    }

    // Once the run has ended, the queued session has the table, and gives it back.
    static void GiveBack(PGconn* session) {
        while (PGresult* result = PQgetResult(session)) {
            PQclear(result);
        }
        PQclear(PQexec(session, "ROLLBACK"));
    }

    std::vector<std::vector<std::string>> Kept() {
        return db_->Query("SELECT v, count(*), min(k), max(k) FROM held GROUP BY v ORDER BY v");
    }
};

TEST_F(PgTableLockTest, OtherSessionsReadButCannotWriteUntilTheRunEnds) {
    auto table = Open("held", true);
    Conn().BeginFillRun();
    table->DeleteAll();
    Post(*table, 1, kPastBatches, "new");
    // Reads see the table as it was before the run, emptying included.
    EXPECT_EQ(Kept(), (std::vector<std::vector<std::string>>{{"old", "1", "0", "0"}}));
    for (const char* sql : {"INSERT INTO held VALUES (-1, 'other')", "DELETE FROM held",
                            "UPDATE held SET v = 'other'", "TRUNCATE held"}) {
        SCOPED_TRACE(sql);
        EXPECT_NE(OtherSession(sql).find("canceling statement due to lock timeout"),
                  std::string::npos);
    }
    // A writer that waits long enough gets in only when the run has ended, however many batches
    // end meanwhile.
    std::unique_ptr<Connection> other = OtherConnection("60");
    auto otherTable = other->OpenTable("held", false);
    std::atomic<bool> runEnding = false;
    bool wroteDuringTheRun = true;
    std::thread writer([&] {
        otherTable->Insert({std::int64_t{-1}, std::string("other")}, {true, true});
        wroteDuringTheRun = !runEnding;
    });
    AwaitWaiter();
    Post(*table, kPastBatches + 1, 2 * kPastBatches, "new");
    runEnding = true;
    Conn().EndFillRun();
    writer.join();
    EXPECT_FALSE(wroteDuringTheRun);
    EXPECT_EQ(Kept(),
              (std::vector<std::vector<std::string>>{
                  {"new", std::to_string(2 * kPastBatches), "1", std::to_string(2 * kPastBatches)},
                  {"other", "1", "-1", "-1"}}));
}

// Two fills of one table: the second cannot empty it, nor write it, while the first runs, and
// fails with the lock timeout after the alias's LOCK TIMEOUT; once the first has ended it runs.
TEST_F(PgTableLockTest, ASecondFillOfTheTableWaitsForTheFirst) {
    std::unique_ptr<Connection> secondConn = OtherConnection("1");
    auto secondTable = secondConn->OpenTable("held", true);
    auto table = Open("held", true);

    Conn().BeginFillRun();
    table->DeleteAll();
    Post(*table, 1, kPastBatches, "first");
    for (const bool empties : {true, false}) {
        SCOPED_TRACE(empties ? "emptying" : "appending");
        secondConn->BeginFillRun();
        EXPECT_THROW(
            {
                if (empties) {
                    secondTable->DeleteAll();
                } else {
                    Post(*secondTable, 100001, 100001 + kPastBatches, "second");
                }
            },
            ELockTimeout);
        secondConn->EndFillRun();
    }
    Post(*table, kPastBatches + 1, kPastBatches + 10, "first");
    Conn().EndFillRun();
    EXPECT_EQ(Kept(),
              (std::vector<std::vector<std::string>>{{"first", std::to_string(kPastBatches + 10),
                                                      "1", std::to_string(kPastBatches + 10)}}));

    secondConn->BeginFillRun();
    secondTable->DeleteAll();
    Post(*secondTable, 1, 100, "second");
    secondConn->EndFillRun();
    EXPECT_EQ(Kept(), (std::vector<std::vector<std::string>>{{"second", "100", "1", "100"}}));
}

// A second fill that waits long enough runs when the first has ended: the table keeps its records
// only.
TEST_F(PgTableLockTest, ASecondFillThatWaitsRunsAfterTheFirst) {
    std::unique_ptr<Connection> secondConn = OtherConnection("60");
    auto secondTable = secondConn->OpenTable("held", true);
    auto table = Open("held", true);
    Conn().BeginFillRun();
    table->DeleteAll();
    Post(*table, 1, 10, "first");
    std::thread second([&] {
        secondConn->BeginFillRun();
        secondTable->DeleteAll();
        Post(*secondTable, 1, 100, "second");
        secondConn->EndFillRun();
    });
    AwaitWaiter();
    Post(*table, 11, kPastBatches, "first");
    Conn().EndFillRun();
    second.join();
    EXPECT_EQ(Kept(), (std::vector<std::vector<std::string>>{{"second", "100", "1", "100"}}));
}

// A refusal after several batches: the emptying and every record before the refused one are
// committed when the error leaves the driver, and the lock ends with them.
TEST_F(PgTableLockTest, ARefusalKeepsTheEmptyingAndTheRecordsBefore) {
    auto table = Open("held", true);
    Conn().BeginFillRun();
    table->DeleteAll();
    std::string error;
    try {
        Post(*table, 1, kPastBatches - 1, "new");
        table->Insert({std::int64_t{kPastBatches}, FieldValue{}}, {true, true});
        // The refusal comes when the server has judged the refused record's batch.
        Post(*table, kPastBatches + 1, 3 * kPastBatches, "new");
    } catch (const EDBEngineError& e) {
        error = e.what();
    }
    EXPECT_NE(error.find("null value in column \"v\""), std::string::npos) << error;
    EXPECT_EQ(Kept(),
              (std::vector<std::vector<std::string>>{{"new", std::to_string(kPastBatches - 1), "1",
                                                      std::to_string(kPastBatches - 1)}}));
    EXPECT_EQ(OtherSession("INSERT INTO held VALUES (-1, 'other')"), "");
    Conn().EndFillRun();
    EXPECT_EQ(Count("held"), kPastBatches);
}

// An update walk reads ahead through a second session while its updates are written. Another
// session waiting for the whole table (as TRUNCATE or ALTER TABLE do) would hold that read up for
// as long as the run holds the table: the walk reads through the run's own connection then.
TEST_F(PgTableLockTest, AnUpdateWalkGoesOnWhileAnotherSessionWaitsForTheWholeTable) {
    db_->Execute("INSERT INTO held SELECT g, 'old' FROM generate_series(1, " +
                 std::to_string(kPastBatches) + ") g");
    RawConnection waiter = Raw();
    ASSERT_EQ(PQstatus(waiter.get()), CONNECTION_OK);
    auto table = Open("held", true);
    Conn().BeginFillRun();
    int met = 0;
    std::vector<Record> page = table->ReadPage(nullptr, 1000);
    while (!page.empty()) {
        for (Record& record : page) {
            table->Update(record.key, {record.values[0], std::string("new")}, {false, true});
            // The run holds the table by now.
            if (++met == 100) {
                QueueForTheWholeTable(waiter.get(), "held");
            }
        }
        page = table->ReadPage(&page.back().key, 1000);
    }
    Conn().EndFillRun();
    GiveBack(waiter.get());
    EXPECT_EQ(met, kPastBatches + 1);
    EXPECT_EQ(Kept(),
              (std::vector<std::vector<std::string>>{
                  {"new", std::to_string(kPastBatches + 1), "0", std::to_string(kPastBatches)}}));
}

// A master table read while the fill's records stream in goes through a second session. When the
// run has read that table itself before, a session queued for the whole of it waits for the run,
// and the second session's read would wait behind that one: the run's own connection reads then.
TEST_F(PgTableLockTest, AMasterReadGoesOnWhileAnotherSessionWaitsForTheWholeTable) {
    db_->Execute("CREATE TABLE master (m text); INSERT INTO master VALUES ('a'), ('b'), ('c')");
    RawConnection waiter = Raw();
    ASSERT_EQ(PQstatus(waiter.get()), CONNECTION_OK);
    auto work = Open("held", true);
    auto master = Open("master");
    Conn().BeginFillRun();
    work->DeleteAll();
    // No COPY runs: the run's own connection reads, and keeps its lock on master.
    ASSERT_EQ(ReadAll(*master).size(), 3u);
    Post(*work, 1, 100, "new");
    QueueForTheWholeTable(waiter.get(), "master");
    EXPECT_EQ(ReadAll(*master).size(), 3u);
    Post(*work, 101, 200, "new");
    Conn().EndFillRun();
    GiveBack(waiter.get());
    EXPECT_EQ(Kept(), (std::vector<std::vector<std::string>>{{"new", "200", "1", "200"}}));
}

}  // namespace
}  // namespace rowsmith::test
