// Two fills of one table do not interleave: the second waits for the first's named lock up to the
// alias's LOCK TIMEOUT and fails with the lock wait message. Other programs are not kept out: they
// read and write the table while a fill writes it, waiting only for the records of its open batch.
#include <chrono>
#include <string>
#include <thread>

#include "mariadb_fixture.h"

namespace rowsmith::test {
namespace {

class MariaTableLockTest : public MariaDriverTest {
protected:
    // Past two batches of 10000, so that the run has committed some before the checks.
    static constexpr int kPastBatches = 25000;

    void SetUp() override {
        MariaDriverTest::SetUp();
        if (!IsSkipped()) {
            db_->Execute(
                "CREATE TABLE held (k integer PRIMARY KEY, v varchar(10) NOT NULL) ENGINE=InnoDB");
            db_->Execute("INSERT INTO held VALUES (0, 'old')");
        }
    }

    static void Post(TableDriver& table, int from, int to, const std::string& value) {
        for (int k = from; k <= to; ++k) {
            table.Insert({std::int64_t{k}, value}, {true, true});
        }
    }

    // The error another program's `sql` meets, waiting a second for row locks.
    std::string OtherProgram(const std::string& sql) {
        try {
            db_->Execute("SET SESSION innodb_lock_wait_timeout = 1");
            db_->Execute(sql);
        } catch (const std::exception& error) {
            return error.what();
        }
        return "";
    }

    // A connection of its own, as a second fill would have, that waits `seconds` for a lock.
    std::unique_ptr<Connection> OtherConnection(const char* seconds) {
        AliasConfig other = alias_;
        other.lockTimeout = seconds;
        return ConnectMariaDb(other, nullptr);
    }

    // Until a connection other than the test's and the fill's is busy: waiting, here.
    void AwaitWaiter() {
        while (db_->QueryValue("SELECT count(*) FROM information_schema.processlist"
                               " WHERE db = DATABASE() AND command <> 'Sleep'"
                               " AND id <> CONNECTION_ID()") == "0") {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    std::vector<std::vector<std::string>> Kept() {
        return db_->Query("SELECT v, count(*), min(k), max(k) FROM held GROUP BY v ORDER BY v");
    }
};

TEST_F(MariaTableLockTest, ASecondFillOfTheTableWaitsForTheFirst) {
    std::unique_ptr<Connection> secondConn = OtherConnection("1");
    auto secondTable = secondConn->OpenTable("held", true);
    auto table = Conn().OpenTable("held", true);

    Conn().BeginFillRun();
    table->DeleteAll();
    Post(*table, 1, kPastBatches, "first");
    for (const bool empties : {true, false}) {
        SCOPED_TRACE(empties ? "emptying" : "appending");
        secondConn->BeginFillRun();
        try {
            if (empties) {
                secondTable->DeleteAll();
            } else {
                Post(*secondTable, 100001, 100001 + kPastBatches, "second");
            }
            ADD_FAILURE() << "the second fill wrote";
        } catch (const ELockTimeout& error) {
            EXPECT_STREQ(error.what(), "Lock wait timeout exceeded; try restarting transaction");
        }
        secondConn->EndFillRun();
    }
    Post(*table, kPastBatches + 1, kPastBatches + 10, "first");
    Conn().EndFillRun();
    EXPECT_EQ(Kept(),
              (std::vector<std::vector<std::string>>{{"first", std::to_string(kPastBatches + 10),
                                                      "1", std::to_string(kPastBatches + 10)}}));

    // The lock ends with the first fill; a dry run takes it and lets it go as well.
    for (const bool dry : {true, false}) {
        SCOPED_TRACE(dry ? "dry run" : "real run");
        if (dry) {
            secondConn->BeginDryRun();
        }
        secondConn->BeginFillRun();
        secondTable->DeleteAll();
        Post(*secondTable, 1, 100, "second");
        secondConn->EndFillRun();
        if (dry) {
            secondConn->EndDryRun();
        }
    }
    EXPECT_EQ(Kept(), (std::vector<std::vector<std::string>>{{"second", "100", "1", "100"}}));
}

// A second fill that waits long enough runs when the first has ended: the table keeps its records
// only.
TEST_F(MariaTableLockTest, ASecondFillThatWaitsRunsAfterTheFirst) {
    std::unique_ptr<Connection> secondConn = OtherConnection("60");
    auto secondTable = secondConn->OpenTable("held", true);
    auto table = Conn().OpenTable("held", true);
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

// What another program can do while a fill writes: read always, and write the table beside the
// fill's records, except where the fill's open batch holds locks: the emptying's, until the batch
// that empties is committed.
TEST_F(MariaTableLockTest, OtherProgramsWriteBesideAFill) {
    auto table = Conn().OpenTable("held", true);
    Conn().BeginFillRun();
    table->DeleteAll();
    Post(*table, 1, 10, "fill");
    EXPECT_EQ(Kept(), (std::vector<std::vector<std::string>>{{"old", "1", "0", "0"}}));
    EXPECT_NE(OtherProgram("INSERT INTO held VALUES (-1, 'other')").find("Lock wait timeout"),
              std::string::npos);

    Post(*table, 11, kPastBatches, "fill");
    EXPECT_EQ(OtherProgram("INSERT INTO held VALUES (-1, 'other')"), "");
    EXPECT_EQ(OtherProgram("UPDATE held SET v = 'changed' WHERE k = 5"), "");
    Post(*table, kPastBatches + 1, kPastBatches + 10, "fill");
    Conn().EndFillRun();
    EXPECT_EQ(Kept(),
              (std::vector<std::vector<std::string>>{{"changed", "1", "5", "5"},
                                                     {"fill", std::to_string(kPastBatches + 9), "1",
                                                      std::to_string(kPastBatches + 10)},
                                                     {"other", "1", "-1", "-1"}}));
}

}  // namespace
}  // namespace rowsmith::test
