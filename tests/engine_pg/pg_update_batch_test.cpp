// Updates in a fill run travel in batches; these cases check that a batch the server refuses, or
// a server that goes away, leaves exactly the updates before the failing one.
#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "engine/database_errors.h"
#include "pg_fixture.h"

namespace rowsmith::test {
namespace {

// Runs `body` in one fill run and gives the error that stopped it, raised by a change or by the
// end of the run, whichever came first.
std::string InRun(Connection& conn, const std::function<void()>& body) {
    std::string error;
    conn.BeginFillRun();
    try {
        body();
    } catch (const EDBEngineError& e) {
        error = e.what();
    }
    try {
        conn.EndFillRun();
    } catch (const EDBEngineError& e) {
        error = error.empty() ? e.what() : error;
    }
    return error;
}

constexpr int kRows = 3000;

class PgUpdateBatchTest : public PgDriverTest {
protected:
    void MakeTable() {
        db_->Execute(
            "DROP TABLE IF EXISTS stock;"
            "CREATE TABLE stock (k integer PRIMARY KEY, v text UNIQUE, n integer CHECK (n >= 0));"
            "INSERT INTO stock SELECT g, 'old' || g, 0 FROM generate_series(1, " +
            std::to_string(kRows) + ") g");
    }
    // Updates every record of a walk of stock, giving record k the value `valueOf(k)`.
    std::string UpdateAll(TableDriver& table, const std::function<FieldValue(int)>& valueOf) {
        return InRun(Conn(), [&] {
            for (Record& record : ReadAll(table)) {
                const auto k = std::get<std::int64_t>(record.values[0]);
                table.Update(record.key,
                             {k, "new" + std::to_string(k), valueOf(static_cast<int>(k))},
                             {false, true, true});
            }
        });
    }
    std::string Updated() {
        return db_->QueryValue(
            "SELECT count(*) || ' ' || coalesce(max(k), 0) FROM stock"
            " WHERE v LIKE 'new%'");
    }
};

TEST_F(PgUpdateBatchTest, RefusedUpdateMidBatchKeepsExactlyThoseBefore) {
    static const struct {
        const char* what;
        int failAt;
        const char* message;
    } cases[] = {
        {"check in the middle", 1731, "violates check constraint"},
        {"check on the last record", kRows, "violates check constraint"},
        {"check on the first record", 1, "violates check constraint"},
        {"vanished record", 1200, "Record not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MakeTable();
        auto table = Open("stock");
        if (std::string(c.message) == "Record not found") {
            // Read the walk first, then take the record away behind its back.
            std::vector<Record> all = ReadAll(*table);
            db_->Execute("DELETE FROM stock WHERE k = " + std::to_string(c.failAt));
            const std::string error = InRun(Conn(), [&] {
                for (Record& record : all) {
                    const auto k = std::get<std::int64_t>(record.values[0]);
                    table->Update(record.key, {k, "new" + std::to_string(k), std::int64_t{1}},
                                  {false, true, true});
                }
            });
            EXPECT_NE(error.find(c.message), std::string::npos) << error;
        } else {
            const std::string error = UpdateAll(
                *table, [&](int k) { return FieldValue(std::int64_t{k == c.failAt ? -1 : k}); });
            EXPECT_NE(error.find(c.message), std::string::npos) << error;
        }
        EXPECT_EQ(Updated(), std::to_string(c.failAt - 1) + " " + std::to_string(c.failAt - 1));
        EXPECT_EQ(db_->QueryValue("SELECT count(*) FROM stock WHERE n > 0"),
                  std::to_string(c.failAt - 1));
    }
}

// Update-and-fill: the updates of the existing records, then appended records, in one run.
// An appended record refused keeps every update and the appends before it.
TEST_F(PgUpdateBatchTest, UpdatesThenAppendsKeepTheirOrderWhenAnAppendIsRefused) {
    MakeTable();
    auto table = Open("stock");
    const std::string error = InRun(Conn(), [&] {
        for (Record& record : ReadAll(*table)) {
            const auto k = std::get<std::int64_t>(record.values[0]);
            table->Update(record.key, {k, "new" + std::to_string(k), std::int64_t{1}},
                          {false, true, true});
        }
        for (int k = kRows + 1; k <= kRows + 500; ++k) {
            // Record kRows + 321 takes a value an update wrote.
            const std::string v = k == kRows + 321 ? "new7" : "added" + std::to_string(k);
            table->Insert({std::int64_t{k}, v, std::int64_t{2}}, {true, true, true});
        }
    });
    EXPECT_NE(error.find("duplicate key value"), std::string::npos) << error;
    EXPECT_EQ(Updated(), "3000 3000");
    EXPECT_EQ(db_->QueryValue("SELECT count(*) || ' ' || max(k) FROM stock WHERE n = 2"),
              "320 3320");
}

// A record met twice in a run, and a record whose key the update changes: the last write counts
// and the caller's key follows the record.
TEST_F(PgUpdateBatchTest, RepeatedAndRekeyedRecordsTakeTheirLastWrite) {
    MakeTable();
    auto table = Open("stock");
    RecordKey first{{std::string("1")}};
    RecordKey second{{std::string("2")}};
    const std::string error = InRun(Conn(), [&] {
        table->Update(first, {std::int64_t{1}, std::string("a"), std::int64_t{1}},
                      {false, true, true});
        table->Update(second, {std::int64_t{9001}, std::string("b"), std::int64_t{1}},
                      {true, true, true});
        table->Update(first, {std::int64_t{1}, std::string("c"), std::int64_t{2}},
                      {false, true, true});
        table->Update(second, {std::int64_t{9001}, std::string("d"), std::int64_t{3}},
                      {false, true, true});
    });
    EXPECT_EQ(error, "");
    EXPECT_EQ(second.parts, std::vector<FieldValue>{std::string("9001")});
    EXPECT_EQ(db_->Query("SELECT k, v, n FROM stock WHERE k IN (1, 2, 9001) ORDER BY k"),
              (std::vector<std::vector<std::string>>{{"1", "c", "2"}, {"9001", "d", "3"}}));
}

// A run's updates reach their records whatever order they come in: the key's first column is
// bounded by the least and the greatest of the run, not by its first and last record.
TEST_F(PgUpdateBatchTest, RunsReachTheirRecordsInAnyOrder) {
    db_->Execute(
        "CREATE TABLE pairs (a text, b integer, v text, PRIMARY KEY (a, b));"
        "INSERT INTO pairs SELECT (ARRAY['Zeta', 'alpha', 'Beta', 'beta'])[g % 4 + 1], g, 'old' "
        "FROM generate_series(1, 3000) g");
    auto table = Open("pairs");
    std::vector<Record> all = ReadAll(*table);
    std::reverse(all.begin(), all.end());
    const std::string error = InRun(Conn(), [&] {
        for (Record& record : all) {
            // Every tenth record moves to a key of its own further on.
            const auto b = std::get<std::int64_t>(record.values[1]);
            table->Update(record.key,
                          {record.values[0], b % 10 == 0 ? b + 100000 : b, std::string("new")},
                          {false, true, true});
        }
    });
    EXPECT_EQ(error, "");
    EXPECT_EQ(db_->QueryValue("SELECT count(*) || ' ' || count(*) FILTER (WHERE b > 100000) "
                              "FROM pairs WHERE v = 'new'"),
              "3000 300");
}

// A walk of more records than it reads at once, updating each as it goes: the updates behind the
// walk are written while a second session reads the records ahead, and the updates made meanwhile
// wait for them. Each record is met and written once, and a refused update keeps exactly the
// updates before it: in the first set (written while the walk goes on), the second, or the last
// (written as the run ends).
TEST_F(PgUpdateBatchTest, AWalkReadsAheadWhileItsUpdatesAreWritten) {
    constexpr int kMany = 50000;
    for (const int failAt : {0, 9000, 33000, 45000}) {
        SCOPED_TRACE(failAt);
        db_->Execute(
            "DROP TABLE IF EXISTS stock;"
            "CREATE TABLE stock (k integer PRIMARY KEY, v text UNIQUE, n integer CHECK (n >= 0));"
            "INSERT INTO stock SELECT 2 * g, 'old' || g, 0 FROM generate_series(1, " +
            std::to_string(kMany) + ") g");
        auto table = Open("stock");
        const std::string sessions =
            "SELECT count(*) FROM pg_stat_activity WHERE datname = current_database()";
        const std::string before = db_->QueryValue(sessions);
        std::vector<std::int64_t> met;
        const std::string error = InRun(Conn(), [&] {
            std::vector<Record> page = table->ReadPage(nullptr, 1000);
            while (!page.empty()) {
                for (Record& record : page) {
                    const auto k = std::get<std::int64_t>(record.values[0]);
                    met.push_back(k);
                    const std::int64_t n = static_cast<int>(met.size()) == failAt ? -1 : 1;
                    table->Update(record.key, {k, "new" + std::to_string(k), n},
                                  {false, true, true});
                }
                page = table->ReadPage(&page.back().key, 1000);
            }
        });
        const int kept = failAt == 0 ? kMany : failAt - 1;
        if (failAt == 0) {
            EXPECT_EQ(error, "");
            EXPECT_EQ(met.size(), static_cast<std::size_t>(kMany));
            EXPECT_EQ(std::set<std::int64_t>(met.begin(), met.end()).size(), met.size());
            EXPECT_EQ(std::stoi(db_->QueryValue(sessions)), std::stoi(before) + 1);
        } else {
            EXPECT_NE(error.find("violates check constraint"), std::string::npos) << error;
        }
        EXPECT_EQ(Updated(), std::to_string(kept) + " " + std::to_string(2 * kept));
        EXPECT_EQ(db_->QueryValue("SELECT count(*) FROM stock WHERE n = 1"), std::to_string(kept));
    }
}

// Where the server takes no second connection, the walk reads through the run's own.
TEST_F(PgUpdateBatchTest, AWalkWithoutASecondConnectionReadsThroughItsOwn) {
    db_->Execute(
        "CREATE TABLE wide (k integer PRIMARY KEY, v text);"
        "INSERT INTO wide SELECT g, 'old' FROM generate_series(1, 45000) g");
    auto table = Open("wide");
    const std::string error = InRun(Conn(), [&] {
        std::vector<Record> page = table->ReadPage(nullptr, 1000);
        AllowConnections(false);
        while (!page.empty()) {
            for (Record& record : page) {
                table->Update(record.key, {record.values[0], std::string("new")}, {false, true});
            }
            page = table->ReadPage(&page.back().key, 1000);
        }
    });
    AllowConnections(true);
    EXPECT_EQ(error, "");
    EXPECT_EQ(db_->QueryValue("SELECT count(*) FROM wide WHERE v = 'new'"), "45000");
}

// The server goes away in the middle of a run of updates: none of the run's updates stay.
TEST_F(PgUpdateBatchTest, LostServerUndoesTheRunsUpdates) {
    db_->Execute(
        "CREATE TABLE wide (k integer PRIMARY KEY, v text);"
        "INSERT INTO wide SELECT g, 'old' FROM generate_series(1, 60000) g");
    auto table = Open("wide");
    std::vector<Record> all = ReadAll(*table, 60000);
    const std::string error = InRun(Conn(), [&] {
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (i == 45000) {
                db_->Execute(
                    "SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                    " WHERE datname = current_database() AND pid <> pg_backend_pid()");
            }
            table->Update(all[i].key, {all[i].values[0], std::string("new")}, {false, true});
        }
    });
    EXPECT_TRUE(SaysServerWentAway(error)) << error;
    EXPECT_EQ(db_->QueryValue("SELECT count(*) FROM wide WHERE v = 'old'"), "60000");
    EXPECT_EQ(table->Count(), 60000);
}

}  // namespace
}  // namespace rowsmith::test
