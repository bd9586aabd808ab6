// References between tables hold on every engine: a record pointing at no record of its parent
// table is refused, keeping exactly the records before it, and emptying a parent that records
// still point at changes nothing unless the reference cascades. SQLite used to let such records
// in unless its connection asked for the check.
#include "engine/database_errors.h"
#include "engine/fill_run_scope.h"
#include "engine_fixture.h"

namespace rowsmith::test {
namespace {

class ForeignKeysTest : public EngineTest {
protected:
    // `onDelete`: what the reference does to the children of a deleted parent.
    void CreateTables(const std::string& onDelete = "") {
        db_.Execute("CREATE TABLE parent (id INTEGER PRIMARY KEY)");
        db_.Execute("CREATE TABLE child (id " + db_.AutoIncKeyType() +
                    ", pid INTEGER, FOREIGN KEY (pid) REFERENCES parent (id)" + onDelete + ")");
        db_.Execute("INSERT INTO parent VALUES (1), (2)");
    }

    static void AppendChild(TableCursor& child, const std::string& parentId) {
        child.Append();
        child.FieldAt(1).WriteString(parentId);
        child.Post();
    }

    // Fills child with records pointing at `parentIds` in one run; the error that stopped it.
    std::string FillChildren(const std::vector<std::string>& parentIds) {
        auto child = OpenTable("child", true);
        try {
            FillRunScope run(db_.Alias());
            for (const std::string& id : parentIds) {
                AppendChild(*child, id);
            }
            run.Finish();
        } catch (const EDBEngineError& error) {
            return error.what();
        }
        return {};
    }

    std::vector<std::string> CommittedParentIds() {
        std::vector<std::string> ids;
        for (const auto& row : db_.Query("SELECT pid FROM child ORDER BY id")) {
            ids.push_back(row[0]);
        }
        return ids;
    }
};

TEST_P(ForeignKeysTest, AChildPointingAtNoParentStopsTheFillKeepingTheRecordsBefore) {
    CreateTables();
    const std::string message = FillChildren({"1", "2", "1", "9", "2", "1"});
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(CommittedParentIds(), (std::vector<std::string>{"1", "2", "1"}));
}

TEST_P(ForeignKeysTest, EmptyingAParentThatRecordsPointAtChangesNothing) {
    CreateTables();
    db_.Execute("INSERT INTO child (pid) VALUES (2)");
    auto parent = OpenTable("parent", true);
    EXPECT_THROW(parent->DeleteAllRecords(), EDBEngineError);
    {
        FillRunScope run(db_.Alias());
        EXPECT_THROW(parent->DeleteAllRecords(), EDBEngineError);
        run.Finish();
    }
    EXPECT_EQ(Count("parent"), 2);
    EXPECT_EQ(Count("child"), 1);
}

// The demo databases' references cascade, so that "Emty table and fill" can start again with
// any of their tables.
TEST_P(ForeignKeysTest, EmptyingAParentEmptiesTheRecordsWhoseReferenceCascades) {
    CreateTables(" ON DELETE CASCADE");
    db_.Execute("INSERT INTO child (pid) VALUES (1), (2)");
    auto parent = OpenTable("parent", true);
    FillRunScope run(db_.Alias());
    parent->DeleteAllRecords();
    run.Finish();
    EXPECT_EQ(Count("parent"), 0);
    EXPECT_EQ(Count("child"), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, ForeignKeysTest, ::testing::ValuesIn(TestEngines()),
                         EngineTestName);

class SqliteForeignKeysTest : public ForeignKeysTest {};

TEST_P(SqliteForeignKeysTest, TheRefusalNamesTheTable) {
    CreateTables();
    EXPECT_EQ(FillChildren({"1", "9"}), "FOREIGN KEY constraint failed\nTable: \"child\"");
}

TEST_P(SqliteForeignKeysTest, TheAliasCanTurnTheCheckOff) {
    db_.AddAliasKey("FOREIGN KEYS = off");
    CreateTables();
    EXPECT_EQ(FillChildren({"1", "9"}), "");
    EXPECT_EQ(CommittedParentIds(), (std::vector<std::string>{"1", "9"}));
}

TEST_P(SqliteForeignKeysTest, TheAliasCanTurnTheCheckOnByName) {
    db_.AddAliasKey("FOREIGN KEYS=On");
    CreateTables();
    EXPECT_NE(FillChildren({"9"}), "");
    EXPECT_EQ(Count("child"), 0);
}

TEST_P(SqliteForeignKeysTest, AWrongValueIsRefusedNamingTheAlias) {
    for (const char* value : {"no", "0", "OFFF", "yes"}) {
        TestDatabase db(TestEngine::SQLite);
        db.AddAliasKey(std::string("FOREIGN KEYS=") + value);
        db.Execute("CREATE TABLE t (x INTEGER)");
        const std::string message = MessageOf<EDBEngineError>([&] {
            TableCursor cursor;
            cursor.SetDatabaseName(db.Alias());
            cursor.SetTableName("t");
            cursor.Open();
        });
        EXPECT_EQ(message, std::string("FOREIGN KEYS of alias 'Test' must be ON or OFF, not '") +
                               value + "'");
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, SqliteForeignKeysTest, ::testing::Values(TestEngine::SQLite),
                         EngineTestName);

}  // namespace
}  // namespace rowsmith::test
