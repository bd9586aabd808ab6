// TableCursor on a real database: properties, opening, walking, the record life cycle
// (Append, Edit, Post, Cancel, Delete) and the access layer's messages.
#include <algorithm>
#include <functional>

#include "engine/database_errors.h"
#include "engine/database_session.h"
#include "engine/fill_run_scope.h"
#include "engine_fixture.h"

namespace rowsmith::test {
namespace {

class CursorTest : public EngineTest {
protected:
    void SetUp() override {
        db_.Execute("CREATE TABLE people (id " + db_.AutoIncKeyType() +
                    ", name VARCHAR(20), age INTEGER DEFAULT 42)");
    }

    void AddPeople(int count) {
        db_.Execute("INSERT INTO people (name, age) SELECT 'p' || n, n FROM (" +
                    db_.Numbers(count) + ") AS numbers");
    }

    // Appends a person, leaving the key to the database.
    static void AppendName(TableCursor& cursor, const std::string& name) {
        cursor.Append();
        cursor.FieldAt(1).WriteString(name);
        cursor.Post();
    }

    // Walks "people" from its first record inside one fill run, changing each record with
    // `change`; gives the number of records visited.
    long WalkEditing(const std::function<void(TableCursor&)>& change) {
        auto cursor = OpenTable("people", true);
        FillRunScope run(db_.Alias());
        long visits = 0;
        while (!cursor->AtEnd()) {
            cursor->Edit();
            change(*cursor);
            cursor->Post();
            ++visits;
            cursor->Next();
        }
        run.Finish();
        return visits;
    }

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& row : db_.Query("SELECT name FROM people ORDER BY id")) {
            names.push_back(row[0]);
        }
        return names;
    }
};

TEST_P(CursorTest, OpensOnFirstRecordWithColumnsInTableOrder) {
    AddPeople(2);
    auto cursor = OpenTable("people");
    EXPECT_TRUE(cursor->Active());
    std::vector<std::string> names{"stale"};
    cursor->ListFieldNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"id", "name", "age"}));
    EXPECT_EQ(cursor->FieldCount(), 3);
    EXPECT_FALSE(cursor->AtEnd());
    EXPECT_EQ(ReadRecord(*cursor), (std::vector<std::string>{"1", "p1", "1"}));
}

TEST_P(CursorTest, EmptyTableIsAtEndAtOnce) {
    auto cursor = OpenTable("people");
    EXPECT_TRUE(cursor->AtEnd());
    EXPECT_EQ(cursor->FieldAt(1).ReadString(), "");
    cursor->First();
    EXPECT_TRUE(cursor->AtEnd());
    EXPECT_EQ(cursor->CountRecords(), 0);
}

TEST_P(CursorTest, PropertiesChangeOnlyWhileClosed) {
    TableCursor cursor;
    EXPECT_FALSE(cursor.Active());
    EXPECT_FALSE(cursor.Exclusive());
    EXPECT_EQ(cursor.TableType(), ttDefault);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor.Open(); }), "Missing TableName property");

    cursor.SetDatabaseName(db_.Alias());
    cursor.SetTableName("people");
    EXPECT_EQ(cursor.TableName(), "people");
    cursor.Open();
    const std::string refused = "Cannot perform this operation on an open dataset";
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor.SetTableName("x"); }), refused);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor.SetDatabaseName("x"); }), refused);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor.SetExclusive(true); }), refused);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor.SetTableType(ttParadox); }), refused);
    EXPECT_EQ(cursor.TableName(), "people");
    cursor.Close();
    cursor.Close();
    EXPECT_FALSE(cursor.Active());
    EXPECT_EQ(cursor.FieldCount(), 0);
}

TEST_P(CursorTest, FieldLookupsAndTheirMessages) {
    auto cursor = OpenTable("people");
    EXPECT_EQ(cursor->FieldNamed("NAME").FieldName(), "name");
    EXPECT_EQ(cursor->FieldNamed("Age").FieldType(), ftInteger);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor->FieldNamed("nope"); }),
              ": Field 'nope' not found");
    EXPECT_EQ(MessageOf<EListError>([&] { cursor->FieldAt(3); }), "List index out of bounds (3)");
    EXPECT_EQ(MessageOf<EListError>([&] { cursor->FieldAt(-1); }), "List index out of bounds (-1)");
}

TEST_P(CursorTest, UnknownTableFailsWithTheEnginesError) {
    TableCursor cursor;
    cursor.SetDatabaseName(db_.Alias());
    cursor.SetTableName("missing");
    EXPECT_FALSE(MessageOf<EDBEngineError>([&] { cursor.Open(); }).empty());
    EXPECT_FALSE(cursor.Active());
}

TEST_P(CursorTest, NextStopsAtTheLastRecordAndFirstGoesBack) {
    AddPeople(3);
    auto cursor = OpenTable("people");
    std::vector<std::string> seen;
    while (!cursor->AtEnd()) {
        seen.push_back(cursor->FieldAt(1).ReadString());
        cursor->Next();
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"p1", "p2", "p3"}));
    EXPECT_EQ(cursor->FieldAt(1).ReadString(), "p3");
    cursor->Next();
    EXPECT_TRUE(cursor->AtEnd());
    cursor->First();
    EXPECT_FALSE(cursor->AtEnd());
    EXPECT_EQ(cursor->FieldAt(1).ReadString(), "p1");
}

TEST_P(CursorTest, AWalkThatEditsVisitsEveryOriginalRecordOnce) {
    // More than two pages, so the walk crosses page ends while it edits.
    AddPeople(2500);
    const long visits =
        WalkEditing([](TableCursor& cursor) { cursor.FieldAt(1).WriteString("done"); });
    EXPECT_EQ(visits, 2500);
    EXPECT_EQ(db_.QueryValue("SELECT count(*) FROM people WHERE name = 'done'"), "2500");
}

TEST_P(CursorTest, AWalkThatMovesKeysForwardVisitsEveryOriginalRecordOnce) {
    // Each edited record moves past the end of the walk, where a later page would meet it again.
    AddPeople(2500);
    const long visits = WalkEditing([](TableCursor& cursor) {
        cursor.FieldAt(0).WriteInteger(std::stoi(cursor.FieldAt(0).ReadString()) + 100000);
    });
    EXPECT_EQ(visits, 2500);
    EXPECT_EQ(db_.QueryValue("SELECT min(id) FROM people"), "100001");
    EXPECT_EQ(db_.QueryValue("SELECT max(id) FROM people"), "102500");
}

TEST_P(CursorTest, AWalkOfSomeColumnsReadsWholeRecordsOnceAskedForAll) {
    AddPeople(2500);
    auto cursor = OpenTable("people", true);
    cursor->ReadOnlyColumns({false, false, true});
    // In a fill run a server's walk reads records ahead of its pages: those, read in part, are
    // not what the walk goes on with once it reads whole records.
    FillRunScope run(db_.Alias());
    // Into the second page, read after the change; the first was read whole on opening.
    for (int i = 1; i < 1200; ++i) {
        cursor->Next();
    }
    EXPECT_EQ(cursor->FieldAt(2).ReadString(), "1200");
    // The name was left out.
    EXPECT_NE(cursor->FieldAt(1).ReadString(), "p1200");

    cursor->ReadOnlyColumns({});
    EXPECT_EQ(ReadRecord(*cursor), (std::vector<std::string>{"1200", "p1200", "1200"}));
    cursor->Next();
    EXPECT_EQ(ReadRecord(*cursor), (std::vector<std::string>{"1201", "p1201", "1201"}));
    for (int i = 1201; i < 2001; ++i) {
        cursor->Next();
    }
    EXPECT_EQ(ReadRecord(*cursor), (std::vector<std::string>{"2001", "p2001", "2001"}));
    run.Finish();
}

TEST_P(CursorTest, AppendWritesOnlyTheWrittenColumns) {
    auto cursor = OpenTable("people");
    cursor->Append();
    EXPECT_TRUE(cursor->Editing());
    cursor->FieldAt(1).WriteString("Ann");
    EXPECT_EQ(cursor->FieldAt(1).ReadString(), "Ann");
    EXPECT_EQ(cursor->FieldAt(2).ReadString(), "");
    cursor->Post();
    EXPECT_FALSE(cursor->Editing());
    EXPECT_EQ(db_.Query("SELECT name, age FROM people"),
              (std::vector<std::vector<std::string>>{{"Ann", "42"}}));
    // The posted record is current, with what the database filled in.
    EXPECT_EQ(cursor->FieldAt(2).ReadString(), "42");
    cursor->Edit();
    cursor->FieldAt(2).WriteInteger(7);
    cursor->Post();
    EXPECT_EQ(db_.QueryValue("SELECT age FROM people"), "7");
    EXPECT_EQ(Count("people"), 1);
}

TEST_P(CursorTest, RecordsThatWriteOtherColumnsKeepToTheirOwn) {
    // More than 64 columns, so that sets differing only past the 64th must be told apart too.
    std::string columns = "id " + db_.AutoIncKeyType();
    for (int i = 1; i <= 70; ++i) {
        columns += ", c" + std::to_string(i) + " INTEGER";
    }
    db_.Execute("CREATE TABLE wide (" + columns + ")");
    static const std::vector<std::vector<int>> written = {
        {1}, {1, 2}, {1}, {1, 66}, {1, 66, 70}, {1, 66}, {}, {70}, {1}};
    auto cursor = OpenTable("wide");
    FillRunScope run(db_.Alias());
    for (std::size_t k = 0; k < written.size(); ++k) {
        cursor->Append();
        for (int column : written[k]) {
            cursor->FieldNamed("c" + std::to_string(column)).WriteInteger(static_cast<int>(k));
        }
        cursor->Post();
    }
    run.Finish();
    EXPECT_EQ(db_.Query("SELECT c1, c2, c66, c70 FROM wide ORDER BY id"),
              (std::vector<std::vector<std::string>>{{"0", "", "", ""},
                                                     {"1", "1", "", ""},
                                                     {"2", "", "", ""},
                                                     {"3", "", "3", ""},
                                                     {"4", "", "4", "4"},
                                                     {"5", "", "5", ""},
                                                     {"", "", "", ""},
                                                     {"", "", "", "7"},
                                                     {"8", "", "", ""}}));
}

TEST_P(CursorTest, EditOnAnEmptyTableStartsANewRecord) {
    auto cursor = OpenTable("people");
    cursor->Edit();
    cursor->FieldAt(1).WriteString("first");
    cursor->Post();
    cursor->Next();
    EXPECT_TRUE(cursor->AtEnd());
    EXPECT_EQ(Names(), (std::vector<std::string>{"first"}));
}

TEST_P(CursorTest, EditChangesTheCurrentRecordOnly) {
    AddPeople(3);
    auto cursor = OpenTable("people");
    cursor->Next();
    cursor->Edit();
    cursor->FieldAt(1).WriteString("two");
    EXPECT_EQ(cursor->FieldAt(2).ReadString(), "2");
    cursor->Post();
    EXPECT_EQ(cursor->FieldAt(1).ReadString(), "two");
    EXPECT_EQ(Names(), (std::vector<std::string>{"p1", "two", "p3"}));
}

TEST_P(CursorTest, WritesNeedAStartedRecord) {
    AddPeople(1);
    auto cursor = OpenTable("people");
    const std::string message = "Dataset not in edit or insert mode";
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor->Post(); }), message);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor->FieldAt(1).WriteString("x"); }), message);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor->FieldAt(2).WriteInteger(1); }), message);
}

TEST_P(CursorTest, CancelAndCloseDropAStartedRecord) {
    AddPeople(1);
    auto cursor = OpenTable("people");
    cursor->Append();
    cursor->FieldAt(1).WriteString("dropped");
    cursor->Cancel();
    EXPECT_FALSE(cursor->Editing());
    EXPECT_EQ(cursor->FieldAt(1).ReadString(), "p1");
    cursor->Edit();
    cursor->FieldAt(1).WriteString("dropped too");
    cursor->Close();
    EXPECT_EQ(Names(), (std::vector<std::string>{"p1"}));
}

TEST_P(CursorTest, MovingOnPostsAWrittenRecord) {
    auto cursor = OpenTable("people");
    cursor->Append();
    cursor->FieldAt(1).WriteString("a");
    cursor->Append();
    cursor->FieldAt(1).WriteString("b");
    cursor->First();
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
}

TEST_P(CursorTest, DeleteRemovesTheCurrentRecordAndMovesOn) {
    AddPeople(3);
    auto cursor = OpenTable("people");
    cursor->Next();
    cursor->Delete();
    EXPECT_EQ(cursor->FieldAt(1).ReadString(), "p3");
    cursor->Delete();
    EXPECT_EQ(cursor->FieldAt(1).ReadString(), "p1");
    cursor->Delete();
    EXPECT_TRUE(cursor->AtEnd());
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor->Delete(); }),
              "Cannot perform this operation on an empty dataset");
    EXPECT_EQ(Count("people"), 0);
}

TEST_P(CursorTest, DeletingAPagesLastRecordMovesOnToTheNextPage) {
    // The walk reads 1000 records a page.
    AddPeople(1001);
    auto cursor = OpenTable("people");
    for (int i = 1; i < 1000; ++i) {
        cursor->Next();
    }
    EXPECT_EQ(cursor->FieldAt(1).ReadString(), "p1000");
    cursor->Delete();
    EXPECT_EQ(cursor->FieldAt(1).ReadString(), "p1001");
    // The table's last record: earlier pages are not kept, so the walk starts again.
    cursor->Delete();
    EXPECT_FALSE(cursor->AtEnd());
    EXPECT_EQ(cursor->FieldAt(1).ReadString(), "p1");
    EXPECT_EQ(Count("people"), 999);
}

TEST_P(CursorTest, DeleteAllRecordsAndCount) {
    AddPeople(5);
    auto cursor = OpenTable("people");
    EXPECT_EQ(cursor->CountRecords(), 5);
    cursor->DeleteAllRecords();
    EXPECT_TRUE(cursor->Active());
    EXPECT_TRUE(cursor->AtEnd());
    EXPECT_EQ(cursor->CountRecords(), 0);
    AppendName(*cursor, "again");
    EXPECT_EQ(Names(), (std::vector<std::string>{"again"}));
}

TEST_P(CursorTest, ClosedCursorRefusesWork) {
    TableCursor cursor;
    const std::string closed = "Cannot perform this operation on a closed dataset";
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor.Append(); }), closed);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor.Next(); }), closed);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor.CountRecords(); }), closed);
    std::vector<std::string> names{"stale"};
    cursor.ListFieldNames(names);
    EXPECT_TRUE(names.empty());
}

TEST_P(CursorTest, NamesWithQuotesBlanksAndSemicolons) {
    const std::string table = "odd \"t\"; name";
    const std::string column = "a \"b\"; c";
    // MariaDB finds a record again only by a key.
    const std::string key = GetParam() == TestEngine::MariaDB ? ", k " + db_.AutoIncKeyType() : "";
    db_.Execute("CREATE TABLE \"odd \"\"t\"\"; name\" (\"a \"\"b\"\"; c\" VARCHAR(10)" + key + ")");
    std::vector<std::string> tables;
    DatabaseSession::Instance().ListTables(db_.Alias(), true, tables);
    EXPECT_NE(std::find(tables.begin(), tables.end(), table), tables.end());

    auto cursor = OpenTable(table);
    EXPECT_EQ(cursor->FieldAt(0).FieldName(), column);
    AppendRecord(*cursor, {"x'); --"});
    cursor->First();
    cursor->Edit();
    cursor->FieldNamed(column).WriteString("y\"; z");
    cursor->Post();
    EXPECT_EQ(db_.QueryValue("SELECT \"a \"\"b\"\"; c\" FROM \"odd \"\"t\"\"; name\""), "y\"; z");
}

TEST_P(CursorTest, CursorsOfOneAliasShareTheConnection) {
    AddPeople(2);
    auto writer = OpenTable("people", true);
    auto reader = OpenTable("people");
    AppendName(*writer, "new");
    EXPECT_EQ(reader->CountRecords(), 3);
    EXPECT_EQ(reader->FieldAt(1).ReadString(), "p1");
}

INSTANTIATE_TEST_SUITE_P(Engines, CursorTest, ::testing::ValuesIn(TestEngines()), EngineTestName);

}  // namespace
}  // namespace rowsmith::test
