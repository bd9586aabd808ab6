// TableCursor bookmarks and positions on a real database: coming back to a record shown earlier,
// moving to a position by its number or a number of records before a bookmark, and walking on
// from there.
#include "engine/database_errors.h"
#include "engine_fixture.h"

namespace rowsmith::test {
namespace {

class BookmarkTest : public EngineTest {
protected:
    // `keyed`: with an integer primary key; without one the drivers walk by their own row ids.
    void MakeTable(int count, bool keyed = true) {
        db_.Execute(std::string("CREATE TABLE people (id ") +
                    (keyed ? db_.AutoIncKeyType() : "INTEGER") + ", name VARCHAR(20))");
        if (count > 0) {
            db_.Execute("INSERT INTO people (id, name) SELECT n, 'p' || n FROM (" +
                        db_.Numbers(count) + ") AS numbers");
        }
    }

    static std::string Id(TableCursor& cursor) { return cursor.FieldAt(0).ReadString(); }

    // The ids met by walking on from the current record to the end.
    static std::vector<std::string> WalkOn(TableCursor& cursor) {
        std::vector<std::string> ids;
        while (!cursor.AtEnd()) {
            ids.push_back(Id(cursor));
            cursor.Next();
        }
        return ids;
    }

    static std::vector<std::string> Ids(int from, int to) {
        std::vector<std::string> ids;
        for (int id = from; id <= to; ++id) {
            ids.push_back(std::to_string(id));
        }
        return ids;
    }
};

TEST_P(BookmarkTest, GoesBackToARecordAcrossPagesAndWalksOnFromIt) {
    // Past two pages of the cursor's walk, so the record lies in a page long dropped.
    MakeTable(2300);
    auto cursor = OpenTable("people");
    for (int i = 0; i < 41; ++i) {
        cursor->Next();
    }
    const CursorBookmark mark = cursor->GetBookmark();
    while (!cursor->AtEnd()) {
        cursor->Next();
    }
    ASSERT_TRUE(cursor->GotoBookmark(mark));
    EXPECT_FALSE(cursor->AtEnd());
    EXPECT_EQ(WalkOn(*cursor), Ids(42, 2300));
}

TEST_P(BookmarkTest, DeletedRecordLeadsNowhereAndOthersStayGood) {
    MakeTable(5);
    auto cursor = OpenTable("people");
    cursor->Next();
    const CursorBookmark second = cursor->GetBookmark();
    cursor->Next();
    const CursorBookmark third = cursor->GetBookmark();
    cursor->Next();
    db_.Execute("DELETE FROM people WHERE id = 3");
    db_.Execute("INSERT INTO people (id, name) VALUES (9, 'p9')");
    EXPECT_FALSE(cursor->GotoBookmark(third));
    EXPECT_EQ(Id(*cursor), "4") << "a bookmark that leads nowhere leaves the cursor where it was";
    ASSERT_TRUE(cursor->GotoBookmark(second));
    EXPECT_EQ(WalkOn(*cursor), (std::vector<std::string>{"2", "4", "5", "9"}));
}

TEST_P(BookmarkTest, AppendedRecordHasABookmarkAndEditsReachTheMarkedRecord) {
    MakeTable(3);
    auto cursor = OpenTable("people");
    AppendRecord(*cursor, {"10", "new"});
    const CursorBookmark appended = cursor->GetBookmark();
    cursor->First();
    ASSERT_TRUE(cursor->GotoBookmark(appended));
    EXPECT_EQ(ReadRecord(*cursor), (std::vector<std::string>{"10", "new"}));
    cursor->Edit();
    cursor->FieldAt(1).WriteString("changed");
    cursor->Post();
    EXPECT_EQ(db_.QueryValue("SELECT name FROM people WHERE id = 10"), "changed");
    EXPECT_EQ(db_.QueryValue("SELECT count(*) FROM people WHERE name = 'changed'"), "1");
}

TEST_P(BookmarkTest, MovingAwayPostsAWrittenRecordAsNextDoes) {
    MakeTable(3);
    auto cursor = OpenTable("people");
    const CursorBookmark first = cursor->GetBookmark();
    cursor->Next();
    cursor->Edit();
    cursor->FieldAt(1).WriteString("posted");
    ASSERT_TRUE(cursor->GotoBookmark(first));
    EXPECT_FALSE(cursor->Editing());
    EXPECT_EQ(db_.QueryValue("SELECT name FROM people WHERE id = 2"), "posted");
    EXPECT_EQ(Id(*cursor), "1");
}

TEST_P(BookmarkTest, AWalkFromABookmarkMeetsRecordsEarlierUpdatesMoved) {
    MakeTable(3);
    auto cursor = OpenTable("people");
    const CursorBookmark first = cursor->GetBookmark();
    cursor->Edit();
    cursor->FieldAt(0).WriteInteger(50);
    cursor->Post();
    EXPECT_EQ(WalkOn(*cursor), (std::vector<std::string>{"50", "2", "3"}))
        << "the walk that moved the record does not meet it again";
    EXPECT_FALSE(cursor->GotoBookmark(first)) << "the key changed";
    ASSERT_TRUE(cursor->MoveTo(0));
    EXPECT_EQ(WalkOn(*cursor), (std::vector<std::string>{"2", "3", "50"}));
}

TEST_P(BookmarkTest, MovesToPositionsFromEitherEnd) {
    MakeTable(2500);
    auto cursor = OpenTable("people");
    const std::int64_t count = cursor->CountRecords();
    struct {
        std::int64_t position;
        std::int64_t count;
        std::string id;
    } cases[] = {
        {0, -1, "1"},          {1249, count, "1250"}, {1250, count, "1251"},
        {2499, count, "2500"}, {2499, -1, "2500"},    {17, count, "18"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(cursor->MoveTo(c.position, c.count)) << c.position;
        EXPECT_EQ(Id(*cursor), c.id) << "position " << c.position << " count " << c.count;
    }
    ASSERT_TRUE(cursor->MoveTo(2497, count));
    EXPECT_EQ(WalkOn(*cursor), Ids(2498, 2500));
    EXPECT_FALSE(cursor->MoveTo(2500, count));
    EXPECT_FALSE(cursor->MoveTo(2500));
    EXPECT_FALSE(cursor->MoveTo(-1));
    EXPECT_TRUE(cursor->AtEnd()) << "a failed move leaves the cursor where it was";
}

TEST_P(BookmarkTest, TableWithoutPrimaryKeyMovesByTheDriversRowIds) {
    MakeTable(1500, false);
    auto cursor = OpenTable("people");
    ASSERT_TRUE(cursor->MoveTo(1499, 1500));
    EXPECT_EQ(Id(*cursor), "1500");
    ASSERT_TRUE(cursor->MoveTo(700, 1500));
    const CursorBookmark mark = cursor->GetBookmark();
    cursor->First();
    ASSERT_TRUE(cursor->GotoBookmark(mark));
    EXPECT_EQ(WalkOn(*cursor), Ids(701, 1500));
}

TEST_P(BookmarkTest, MovesBackFromABookmarkWithOrWithoutAPrimaryKey) {
    for (bool keyed : {false, true}) {
        SCOPED_TRACE(keyed ? "keyed" : "by row ids");
        db_.Execute("DROP TABLE IF EXISTS people");
        MakeTable(1500, keyed);
        auto cursor = OpenTable("people");
        ASSERT_TRUE(cursor->MoveTo(1200, 1500));
        const CursorBookmark mark = cursor->GetBookmark();
        ASSERT_TRUE(cursor->MoveBefore(mark, 100));
        EXPECT_EQ(Id(*cursor), "1101");
        cursor->Next();
        EXPECT_EQ(Id(*cursor), "1102") << "the walk goes on forwards";
        ASSERT_TRUE(cursor->MoveBefore(mark, 1200));
        EXPECT_EQ(Id(*cursor), "1");
        EXPECT_FALSE(cursor->MoveBefore(mark, 1201));
        EXPECT_FALSE(cursor->MoveBefore(mark, 0));
        EXPECT_EQ(Id(*cursor), "1") << "a failed move leaves the cursor where it was";
    }
    // Records deleted before the bookmark are not counted.
    auto cursor = OpenTable("people");
    ASSERT_TRUE(cursor->MoveTo(10));
    const CursorBookmark eleventh = cursor->GetBookmark();
    db_.Execute("DELETE FROM people WHERE id = 9");
    ASSERT_TRUE(cursor->MoveBefore(eleventh, 2));
    EXPECT_EQ(Id(*cursor), "8");
}

TEST_P(BookmarkTest, EmptyAndClosedTablesHaveNoBookmark) {
    MakeTable(0);
    auto cursor = OpenTable("people");
    EXPECT_THROW(cursor->GetBookmark(), EDatabaseError);
    EXPECT_FALSE(cursor->MoveTo(0));
    cursor->Close();
    EXPECT_THROW(cursor->MoveTo(0), EDatabaseError);
}

INSTANTIATE_TEST_SUITE_P(Engines, BookmarkTest, ::testing::ValuesIn(TestEngines()), EngineTestName);

}  // namespace
}  // namespace rowsmith::test
