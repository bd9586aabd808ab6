// A record or an update the database refuses in the middle of a fill run, on every engine: exactly
// the changes before it stay, wherever it falls in the servers' batches of changes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/database_errors.h"
#include "engine/database_session.h"
#include "engine_fixture.h"

namespace rowsmith::test {
namespace {

class RefusedRecordTest : public EngineTest {
protected:
    // Inserts rows 1..count of (k, v) through the driver in one fill run; the error that stopped
    // it, or "" when none did.
    std::string FillRun(TableDriver& table, int count,
                        const std::function<FieldValue(int)>& valueOf) {
        Connection& conn = DatabaseSession::Instance().Connect(db_.Alias());
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
};

TEST_P(RefusedRecordTest, KeepsExactlyThoseBefore) {
    db_.Execute(
        "CREATE TABLE items (k integer NOT NULL PRIMARY KEY, v varchar(20) NOT NULL UNIQUE)");
    // PostgreSQL's batches hold 20000 records, MariaDB's 10000; the records after a batch's end
    // wait until it is committed. The message is the engine's own (none: SQLite takes the value).
    static const struct {
        const char* what;
        int failAt;
        FieldValue bad;
        int count;
        const char* message[3];  // SQLite, PostgreSQL, MariaDB
    } cases[] = {
        {"unique",
         731,
         std::string("v17"),
         3000,
         {"UNIQUE constraint failed", "duplicate key value violates unique constraint",
          "Duplicate entry 'v17'"}},
        {"unique later in the batch",
         2731,
         std::string("v17"),
         5000,
         {"UNIQUE constraint failed", "duplicate key value violates unique constraint",
          "Duplicate entry 'v17'"}},
        {"not null",
         1500,
         FieldValue{},
         5000,
         {"NOT NULL constraint failed", "null value in column \"v\"", "cannot be null"}},
        {"first record",
         1,
         FieldValue{},
         3000,
         {"NOT NULL constraint failed", "null value in column \"v\"", "cannot be null"}},
        {"before a batch's end",
         19990,
         FieldValue{},
         20500,
         {"NOT NULL constraint failed", "null value in column \"v\"", "cannot be null"}},
        {"after a batch's end",
         20003,
         FieldValue{},
         20500,
         {"NOT NULL constraint failed", "null value in column \"v\"", "cannot be null"}},
        {"two batches' ends on",
         40003,
         FieldValue{},
         40500,
         {"NOT NULL constraint failed", "null value in column \"v\"", "cannot be null"}},
        {"too long in strict mode",
         4001,
         std::string(21, 'x'),
         5000,
         {nullptr, "value too long for type character varying(20)", "Data too long"}},
    };
    for (const auto& c : cases) {
        const char* message = c.message[static_cast<int>(GetParam())];
        if (message == nullptr) {
            continue;
        }
        SCOPED_TRACE(c.what);
        db_.Execute("DELETE FROM items");
        auto table = DatabaseSession::Instance().Connect(db_.Alias()).OpenTable("items", false);
        const std::string error = FillRun(*table, c.count, [&](int k) {
            return k == c.failAt ? c.bad : FieldValue(std::string("v") + std::to_string(k));
        });
        EXPECT_NE(error.find(message), std::string::npos) << error;
        EXPECT_EQ(Count("items"), c.failAt - 1);
        EXPECT_EQ(db_.QueryValue("SELECT coalesce(max(k), 0) FROM items"),
                  std::to_string(c.failAt - 1));
    }
}

// Updates in a run travel in batches too; a refused one keeps exactly those before it, also after
// the rollback a replay starts with, whether the database refuses the value or the record is gone,
// and the refused record keeps its value. An update that changes nothing still finds its record.
TEST_P(RefusedRecordTest, UpdateKeepsExactlyThoseBefore) {
    db_.Execute(
        "CREATE TABLE items (k integer NOT NULL PRIMARY KEY, v varchar(20) NOT NULL UNIQUE)");
    static const struct {
        const char* what;
        int failAt;
        bool gone;
        // SQLite, PostgreSQL, MariaDB; none: SQLite keeps other connections from writing while
        // a run writes.
        const char* message[3];
    } cases[] = {
        {"duplicate key early",
         31,
         false,
         {"UNIQUE constraint failed", "duplicate key value", "Duplicate entry 'n5'"}},
        {"duplicate key",
         2100,
         false,
         {"UNIQUE constraint failed", "duplicate key value", "Duplicate entry 'n5'"}},
        {"record deleted by another connection",
         1500,
         true,
         {nullptr, "Record not found", "Record not found"}},
        {"none", 0, false, {"", "", ""}},
    };
    for (const auto& c : cases) {
        const char* message = c.message[static_cast<int>(GetParam())];
        if (message == nullptr) {
            continue;
        }
        SCOPED_TRACE(c.what);
        db_.Execute("DELETE FROM items");
        db_.Execute(
            "INSERT INTO items (k, v) SELECT n, 'o' || n FROM (WITH RECURSIVE s(n) AS (SELECT 1 "
            "UNION ALL SELECT n + 1 FROM s WHERE n < 3000) SELECT n FROM s) AS numbers");
        auto table = DatabaseSession::Instance().Connect(db_.Alias()).OpenTable("items", false);
        std::vector<Record> records = table->ReadPage(nullptr, 3000);
        ASSERT_EQ(records.size(), 3000u);
        Connection& conn = DatabaseSession::Instance().Connect(db_.Alias());
        std::string error;
        conn.BeginFillRun();
        try {
            for (int k = 1; k <= 3000; ++k) {
                if (k == c.failAt && c.gone) {
                    db_.Execute("DELETE FROM items WHERE k = " + std::to_string(k));
                }
                // Odd records get a new value, even ones the value they have; the refused one
                // the value that record 5 took.
                const std::string value = k == c.failAt && !c.gone ? "n5"
                                          : k % 2 == 0             ? "o" + std::to_string(k)
                                                                   : "n" + std::to_string(k);
                table->Update(records[static_cast<std::size_t>(k - 1)].key, {FieldValue{}, value},
                              {false, true});
            }
        } catch (const EDBEngineError& e) {
            error = e.what();
        }
        // The refusal may come with the end of the run, which sends the last batch.
        try {
            conn.EndFillRun();
        } catch (const EDBEngineError& e) {
            error = error.empty() ? e.what() : error;
        }
        EXPECT_NE(error.find(message), std::string::npos) << error;
        const int kept = c.failAt == 0 ? 3000 : c.failAt - 1;
        EXPECT_EQ(db_.QueryValue("SELECT count(*) FROM items WHERE v LIKE 'n%'"),
                  std::to_string((kept + 1) / 2));
        EXPECT_EQ(db_.QueryValue("SELECT coalesce(max(k), 0) FROM items WHERE v LIKE 'n%'"),
                  std::to_string(kept % 2 ? kept : kept - 1));
        if (c.failAt != 0 && !c.gone) {
            EXPECT_EQ(db_.QueryValue("SELECT v FROM items WHERE k = " + std::to_string(c.failAt)),
                      "o" + std::to_string(c.failAt));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, RefusedRecordTest, ::testing::ValuesIn(TestEngines()),
                         EngineTestName);

}  // namespace
}  // namespace rowsmith::test
