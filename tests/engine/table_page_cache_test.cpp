// The viewer's window of pages over a real table of each engine: jumps and long scrolls within the
// page budget, the count taken once, records written and removed, and reads that fail or find a
// record gone.
#include "engine/table_page_cache.h"
#include "engine/database_errors.h"
#include "engine_fixture.h"

namespace rowsmith::test {
namespace {

class TablePageCacheTest : public EngineTest {
protected:
    // A table "people" of `count` records whose ids run from 1, opened and cached.
    void MakeTable(int count) {
        db_.Execute("CREATE TABLE people (id " + db_.AutoIncKeyType() + ", name VARCHAR(8))");
        db_.Execute("INSERT INTO people (id, name) SELECT n, 'p' || n FROM (" + db_.Numbers(count) +
                    ") AS numbers");
        cursor_ = OpenTable("people");
        cache_.Reset(cursor_.get());
    }

    void CountAll() { cache_.SetRecords(cache_.Count()); }

    // The id of the record of `row`, or "gone".
    std::string Id(std::int64_t row) {
        const TablePageCache::Row* record = cache_.RowAt(row);
        return record != nullptr ? record->values[0] : "gone";
    }

    std::unique_ptr<TableCursor> cursor_;
    TablePageCache cache_;
};

TEST_P(TablePageCacheTest, AShortTableIsCountedByItsFirstPage) {
    MakeTable(7);
    EXPECT_TRUE(cache_.Counted());
    EXPECT_EQ(cache_.Records(), 7);
    EXPECT_EQ(Id(6), "7");
    EXPECT_EQ(Id(7), "gone");
    EXPECT_EQ(Id(-1), "gone");
    cache_.Reset(nullptr);
    EXPECT_EQ(cache_.Records(), 0);
    EXPECT_EQ(cache_.LoadedPages(), 0);
}

TEST_P(TablePageCacheTest, HoldsAWindowOfPagesOverAWholeTable) {
    MakeTable(2500);
    // Only the first page is read before the count.
    EXPECT_FALSE(cache_.Counted());
    EXPECT_EQ(cache_.LoadedPages(), 1);
    EXPECT_EQ(cache_.Records(), TablePageCache::kPageRows);
    EXPECT_EQ(Id(99), "100");
    EXPECT_EQ(Id(100), "gone");
    CountAll();
    EXPECT_TRUE(cache_.Counted());
    EXPECT_EQ(cache_.Records(), 2500);
    // Jumps to the end, the middle and back, then a scroll through more rows than the window holds.
    for (std::int64_t row : {2499, 1234, 0, 2400, 1}) {
        EXPECT_EQ(Id(row), std::to_string(row + 1));
    }
    for (std::int64_t row = 0; row < 1500; ++row) {
        ASSERT_EQ(cache_.RowAt(row)->values[1], "p" + std::to_string(row + 1));
        ASSERT_LE(cache_.LoadedPages(), TablePageCache::kMaxPages);
    }
    EXPECT_EQ(Id(2500), "gone");
    // Paging up from a jump into the middle, past more pages than the window holds.
    for (std::int64_t row = 2049; row >= 1000; --row) {
        ASSERT_EQ(Id(row), std::to_string(row + 1));
    }
    EXPECT_LE(cache_.LoadedPages(), TablePageCache::kMaxPages);
}

TEST_P(TablePageCacheTest, KeepsRecordsWrittenAndRemovedInStep) {
    MakeTable(250);
    CountAll();
    // An edited record replaces its row.
    cache_.GoToRow(120);
    cursor_->Edit();
    cursor_->FieldAt(1).WriteString("edited");
    cursor_->Post();
    cache_.StorePosted(120, cache_.ReadCurrent());
    EXPECT_EQ(cache_.RowAt(120)->values[1], "edited");
    // A new record joins the last page.
    cursor_->Append();
    cursor_->FieldAt(0).WriteString("900");
    cursor_->FieldAt(1).WriteString("new");
    cursor_->Post();
    ASSERT_NE(cache_.RowAt(249), nullptr);
    cache_.SetRecords(251);
    cache_.StorePosted(250, cache_.ReadCurrent());
    EXPECT_EQ(Id(250), "900");
    // A removed record moves every later one up a row.
    cache_.GoToRow(10);
    cursor_->Delete();
    cache_.Removed();
    EXPECT_EQ(cache_.Records(), 250);
    EXPECT_EQ(Id(10), "12");
    EXPECT_EQ(Id(249), "900");
}

TEST_P(TablePageCacheTest, ARecordGoneBehindItsBackIsNamed) {
    MakeTable(30);
    ASSERT_EQ(Id(5), "6");
    db_.Execute("DELETE FROM people WHERE id = 6");
    EXPECT_EQ(MessageOf<EDatabaseError>([this] { cache_.GoToRow(5); }),
              "Record not found: it was changed or deleted by another user");
    EXPECT_THROW(cache_.GoToRow(30), EDatabaseError);
}

TEST_P(TablePageCacheTest, AFailedReadIsThrownOnceAndItsRowsReadAsGone) {
    MakeTable(500);
    CountAll();
    ASSERT_EQ(Id(0), "1");
    db_.Execute("DROP TABLE people");
    EXPECT_THROW(cache_.RowAt(420), EDatabaseError);
    EXPECT_EQ(Id(420), "gone");
    EXPECT_EQ(Id(499), "gone");
    // The page read before stays.
    EXPECT_EQ(Id(3), "4");
}

INSTANTIATE_TEST_SUITE_P(Engines, TablePageCacheTest, ::testing::ValuesIn(TestEngines()),
                         EngineTestName);

}  // namespace
}  // namespace rowsmith::test
