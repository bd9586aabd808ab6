#include <string>

#include "engine/database_errors.h"
#include "pg_fixture.h"

namespace rowsmith::test {
namespace {

// Posts rows 1..count of (k, v) in one fill run and gives the error that stopped it, if any.
std::string FillRun(Connection& conn, TableDriver& table, int count,
                    const std::function<FieldValue(int)>& valueOf) {
    try {
        conn.BeginFillRun();
        for (int k = 1; k <= count; ++k) {
            table.Insert({std::int64_t{k}, valueOf(k)}, {true, true});
        }
    } catch (const EDBEngineError& error) {
        conn.EndFillRun();
        return error.what();
    }
    try {
        conn.EndFillRun();
    } catch (const EDBEngineError& error) {
        return error.what();
    }
    return "";
}

TEST_F(PgDriverTest, TextTheServerRefusesStopsTheRunThere) {
    db_->Execute("CREATE TABLE dated (k integer, d date)");
    auto table = Open("dated");
    const std::string error = FillRun(Conn(), *table, 400, [](int k) {
        return FieldValue(std::string(k == 250 ? "2024-13-45" : "2024-01-31"));
    });
    EXPECT_NE(error.find("date/time field value out of range"), std::string::npos) << error;
    EXPECT_EQ(Count("dated"), 249);
}

// The server goes away in the middle of a fill: a clear error, and the table is as it was before
// the run, its emptying undone too, since the run writes in one transaction. The next use
// connects again.
TEST_F(PgDriverTest, LostServerLeavesTheTableAsBeforeTheRun) {
    db_->Execute("CREATE TABLE bulk (k integer, v text); INSERT INTO bulk VALUES (1, 'old')");
    auto table = Open("bulk", true);
    Conn().BeginFillRun();
    table->DeleteAll();
    for (int k = 1; k <= 45000; ++k) {
        table->Insert({std::int64_t{k}, std::string("row")}, {true, true});
    }
    db_->Execute(
        "SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
        " WHERE datname = current_database() AND pid <> pg_backend_pid()");
    std::string error;
    try {
        for (int k = 45001; k <= 60000; ++k) {
            table->Insert({std::int64_t{k}, std::string("row")}, {true, true});
        }
        Conn().EndFillRun();
    } catch (const EDBEngineError& e) {
        error = e.what();
        Conn().EndFillRun();
    }
    EXPECT_TRUE(SaysServerWentAway(error)) << error;
    EXPECT_EQ(db_->Query("SELECT k, v FROM bulk"),
              (std::vector<std::vector<std::string>>{{"1", "old"}}));
    EXPECT_EQ(table->Count(), 1);
}

TEST_F(PgDriverTest, DeleteAllRefusedByAReferenceChangesNothing) {
    db_->Execute(
        "CREATE TABLE parent (id integer PRIMARY KEY);"
        "CREATE TABLE child (pid integer REFERENCES parent);"
        "INSERT INTO parent VALUES (1), (2); INSERT INTO child VALUES (2)");
    auto parent = Open("parent");
    for (bool inRun : {false, true}) {
        SCOPED_TRACE(inRun ? "in a run" : "outside a run");
        if (inRun) {
            Conn().BeginFillRun();
        }
        try {
            parent->DeleteAll();
            ADD_FAILURE() << "DeleteAll went through";
        } catch (const EDBEngineError& error) {
            EXPECT_NE(std::string(error.what()).find("violates foreign key constraint"),
                      std::string::npos);
        }
        if (inRun) {
            Conn().EndFillRun();
        }
        EXPECT_EQ(Count("parent"), 2);
    }
}

TEST_F(PgDriverTest, ExclusiveTableIsLockedOnlyWhileARunWrites) {
    db_->Execute("CREATE TABLE held (k integer)");
    const std::string locks =
        "SELECT count(*) FROM pg_locks WHERE relation = 'held'::regclass"
        " AND mode = 'ExclusiveLock'";
    auto table = Open("held", true);
    table->Insert({std::int64_t{1}}, {true});
    EXPECT_EQ(db_->QueryValue(locks), "0");
    Conn().BeginFillRun();
    table->Insert({std::int64_t{2}}, {true});
    EXPECT_EQ(db_->QueryValue(locks), "1");
    Conn().EndFillRun();
    EXPECT_EQ(db_->QueryValue(locks), "0");
    EXPECT_EQ(Count("held"), 2);
}

// Inserts, updates and deletes of one run reach the table in the order they were made.
TEST_F(PgDriverTest, MixedChangesKeepTheirOrder) {
    db_->Execute("CREATE TABLE mixed (k integer PRIMARY KEY, v text)");
    auto table = Open("mixed");
    Conn().BeginFillRun();
    table->Insert({std::int64_t{1}, std::string("a")}, {true, true});
    RecordKey key = table->LastInsertKey();
    table->Update(key, {std::int64_t{5}, std::string("b")}, {true, true});
    table->Insert({std::int64_t{1}, std::string("c")}, {true, true});
    table->Insert({std::int64_t{2}, std::string("d")}, {true, true});
    table->Delete(table->LastInsertKey());
    Conn().EndFillRun();
    EXPECT_EQ(db_->Query("SELECT k, v FROM mixed ORDER BY k"),
              (std::vector<std::vector<std::string>>{{"1", "c"}, {"5", "b"}}));
    EXPECT_EQ(key.parts, std::vector<FieldValue>{std::string("5")});
}

// A delete in a run of a record another user deleted: the error leaves the driver with the
// records posted before it committed, as for any refused change.
TEST_F(PgDriverTest, DeleteOfAVanishedRecordInARunKeepsTheRecordsBeforeIt) {
    db_->Execute(
        "CREATE TABLE gone (k integer PRIMARY KEY, v text); INSERT INTO gone VALUES (1, 'x')");
    auto table = Open("gone");
    RecordKey key = ReadAll(*table).at(0).key;
    db_->Execute("DELETE FROM gone");
    Conn().BeginFillRun();
    for (int k = 2; k <= 4; ++k) {
        table->Insert({std::int64_t{k}, std::string("new")}, {true, true});
    }
    EXPECT_THROW(table->Delete(key), EDBEngineError);
    EXPECT_EQ(Count("gone"), 3);
    Conn().EndFillRun();
    EXPECT_EQ(Count("gone"), 3);
}

TEST_F(PgDriverTest, UpdateOfAVanishedRecordIsAnError) {
    db_->Execute(
        "CREATE TABLE gone (k integer PRIMARY KEY, v text); INSERT INTO gone VALUES (1, 'x')");
    auto table = Open("gone");
    RecordKey key = ReadAll(*table).at(0).key;
    db_->Execute("DELETE FROM gone");
    EXPECT_THROW(table->Update(key, {std::int64_t{1}, std::string("y")}, {true, true}),
                 EDBEngineError);
}

// The record appended last in a run can be found again, also when it filled a batch of 20000:
// the cursor asks for its key to show it after the post.
TEST_F(PgDriverTest, LastAppendedRecordIsFoundAtABatchsEndToo) {
    db_->Execute("CREATE TABLE probe (k integer PRIMARY KEY, v text)");
    auto table = Open("probe");
    Conn().BeginFillRun();
    int k = 0;
    for (const int last : {19999, 20000, 20001, 40000}) {
        while (k < last) {
            ++k;
            table->Insert({std::int64_t{k}, std::string("row")}, {true, true});
        }
        Record record;
        ASSERT_TRUE(table->ReadRecord(table->LastInsertKey(), record)) << last;
        EXPECT_EQ(std::get<std::int64_t>(record.values.at(0)), last);
    }
    Conn().EndFillRun();
    EXPECT_EQ(Count("probe"), 40000);
}

}  // namespace
}  // namespace rowsmith::test
