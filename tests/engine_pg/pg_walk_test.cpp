#include <set>
#include <string>

#include "engine/database_errors.h"
#include "pg_fixture.h"

namespace rowsmith::test {
namespace {

// Walks the table page by page and rewrites every record it meets, as an update fill does.
// Gives the k values in the order visited.
std::vector<std::int64_t> WalkAndUpdate(TableDriver& table, std::size_t pageSize,
                                        std::int64_t shift) {
    std::vector<std::int64_t> visited;
    std::vector<Record> page = table.ReadPage(nullptr, pageSize);
    while (!page.empty()) {
        for (Record& record : page) {
            const std::int64_t k = std::get<std::int64_t>(record.values[0]);
            visited.push_back(k);
            RecordKey key = record.key;
            table.Update(key, {k + shift, std::string(200, 'x')}, {true, true});
        }
        if (page.size() < pageSize) {
            break;
        }
        page = table.ReadPage(&page.back().key, pageSize);
    }
    return visited;
}

// An UPDATE writes a new row version: by ctid it lies further on, by key it may too when the key
// grows. Either way the walk meets each original record once.
TEST_F(PgDriverTest, WalkThatUpdatesVisitsEachRecordOnce) {
    static const struct {
        const char* what;
        const char* ddl;
        bool inRun;
    } cases[] = {
        {"ctid, outside a run", "CREATE TABLE w (k bigint, v text)", false},
        {"ctid, in a run", "CREATE TABLE w (k bigint, v text)", true},
        {"growing key, in a run", "CREATE TABLE w (k bigint PRIMARY KEY, v text)", true},
    };
    constexpr int kRecords = 3000;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        db_->Execute("DROP TABLE IF EXISTS w");
        db_->Execute(c.ddl);
        db_->Execute("INSERT INTO w SELECT g, 'v' FROM generate_series(1, " +
                     std::to_string(kRecords) + ") g");
        auto table = Open("w");
        if (c.inRun) {
            Conn().BeginFillRun();
        }
        const std::vector<std::int64_t> visited = WalkAndUpdate(*table, 250, 100000);
        if (c.inRun) {
            Conn().EndFillRun();
        }
        ASSERT_EQ(visited.size(), static_cast<std::size_t>(kRecords));
        EXPECT_EQ(std::set<std::int64_t>(visited.begin(), visited.end()).size(), visited.size());
        EXPECT_EQ(db_->QueryValue("SELECT min(k) FROM w"), "100001");
        // The next walk sees the new versions again.
        EXPECT_EQ(ReadAll(*table, 333).size(), static_cast<std::size_t>(kRecords));
    }
}

TEST_F(PgDriverTest, WalkFollowsKeyOrderAndCtidOrder) {
    db_->Execute(
        "CREATE TABLE keyed (a text, b integer, v text, PRIMARY KEY (b, a));"
        "INSERT INTO keyed VALUES ('x', 2, 'third'), ('y', 1, 'second'), ('b', 1, 'first');"
        "CREATE TABLE heap (v text); INSERT INTO heap VALUES ('first'), ('second'), ('third')");
    for (const char* name : {"keyed", "heap"}) {
        SCOPED_TRACE(name);
        auto table = Open(name);
        std::vector<std::string> order;
        for (const Record& record : ReadAll(*table, 2)) {
            order.push_back(std::get<std::string>(record.values.back()));
        }
        EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "third"}));
    }
}

// Deleted rows leave empty blocks behind; the walk must cross them rather than stop.
TEST_F(PgDriverTest, CtidWalkCrossesEmptyBlocks) {
    db_->Execute(
        "CREATE TABLE sparse (k integer, pad text);"
        "INSERT INTO sparse SELECT g, repeat('p', 500) FROM generate_series(1, 20000) g;"
        "DELETE FROM sparse WHERE k BETWEEN 11 AND 19990");
    auto table = Open("sparse");
    const std::vector<Record> records = ReadAll(*table, 7);
    ASSERT_EQ(records.size(), 20u);
    EXPECT_EQ(records.back().values[0], FieldValue(std::int64_t{20000}));
}

// A partitioned table has no heap of its own, and a ctid names a row only within one partition:
// with a primary key it walks by the key, without one it cannot be walked and is refused.
TEST_F(PgDriverTest, PartitionedTablesNeedAPrimaryKey) {
    db_->Execute(
        "CREATE TABLE keyed (k integer PRIMARY KEY, v text) PARTITION BY RANGE (k);"
        "CREATE TABLE keyed_low PARTITION OF keyed FOR VALUES FROM (0) TO (10);"
        "CREATE TABLE keyed_high PARTITION OF keyed FOR VALUES FROM (10) TO (100);"
        "INSERT INTO keyed VALUES (12, 'b'), (3, 'a'), (50, 'c');"
        "CREATE TABLE loose (k integer, v text) PARTITION BY RANGE (k);"
        "CREATE TABLE loose_all PARTITION OF loose FOR VALUES FROM (0) TO (100);"
        "INSERT INTO loose VALUES (1, 'a')");
    auto keyed = Open("keyed");
    EXPECT_EQ(ReadAll(*keyed, 2).size(), 3u);
    try {
        Open("loose");
        ADD_FAILURE() << "a partitioned table without a primary key was opened";
    } catch (const EDBEngineError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Table \"loose\" is partitioned and has no primary key, so its records cannot "
                  "be told apart");
    }
}

TEST_F(PgDriverTest, ReadRecordAndLastInsertKey) {
    db_->Execute("CREATE TABLE heap2 (v text)");
    auto table = Open("heap2");
    for (bool inRun : {false, true}) {
        SCOPED_TRACE(inRun ? "in a run" : "outside a run");
        if (inRun) {
            Conn().BeginFillRun();
        }
        table->Insert({std::string("first")}, {true});
        table->Insert({std::string("second")}, {true});
        Record record;
        ASSERT_TRUE(table->ReadRecord(table->LastInsertKey(), record));
        EXPECT_EQ(record.values, std::vector<FieldValue>{std::string("second")});
        if (inRun) {
            Conn().EndFillRun();
        }
    }
    EXPECT_EQ(Count("heap2"), 4);
    Record none;
    EXPECT_FALSE(table->ReadRecord(RecordKey{{std::string("(999,1)")}}, none));
}

// A master table read while the work table's rows stream in: its committed rows are there, and
// the work table's own rows of the open transaction are seen by a walk of the work table. Where
// the server takes no second connection for the master's reads, the fill's own reads them.
TEST_F(PgDriverTest, ReadsInTheMiddleOfAFill) {
    for (const bool secondConnection : {true, false}) {
        SCOPED_TRACE(secondConnection);
        db_->Execute(
            "DROP TABLE IF EXISTS work, master;"
            "CREATE TABLE work (k integer); CREATE TABLE master (m text);"
            "INSERT INTO master VALUES ('a'), ('b'), ('c')");
        conn_.reset();
        auto work = Open("work");
        auto master = Open("master");
        AllowConnections(secondConnection);
        Conn().BeginFillRun();
        for (int k = 1; k <= 30; ++k) {
            work->Insert({std::int64_t{k}}, {true});
            if (k % 3 == 0) {
                ASSERT_EQ(ReadAll(*master, 2).size(), 3u);
                EXPECT_EQ(master->Count(), 3);
            }
            if (k == 20) {
                EXPECT_EQ(ReadAll(*work).size(), 20u);
            }
        }
        Conn().EndFillRun();
        AllowConnections(true);
        EXPECT_EQ(Count("work"), 30);
    }
}

}  // namespace
}  // namespace rowsmith::test
