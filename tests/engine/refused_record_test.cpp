// A record the database refuses in the middle of a fill run, on every engine: exactly the records
// before it stay, wherever it falls in the servers' batches of changes.
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

INSTANTIATE_TEST_SUITE_P(Engines, RefusedRecordTest, ::testing::ValuesIn(TestEngines()),
                         EngineTestName);

}  // namespace
}  // namespace rowsmith::test
