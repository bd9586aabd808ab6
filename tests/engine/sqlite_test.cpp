// What only the SQLite side has: the mapping of declared types, the demo database, the alias
// configuration found in the current folder, locks held by other programs, WITHOUT ROWID tables.
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "engine/database_errors.h"
#include "engine/database_session.h"
#include "engine/fill_run_scope.h"
#include "engine_fixture.h"
#include "model/fill_scenario.h"
#include "scoped_env.h"

namespace rowsmith::test {
namespace {

// Runs in another folder for the life of the object.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::string& folder)
        : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~ScopedCurrentFolder() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

// A connection of "another program": SQLite locks files, so it conflicts like one.
class OtherConnection {
public:
    explicit OtherConnection(const std::string& path) { sqlite3_open(path.c_str(), &db_); }
    ~OtherConnection() { sqlite3_close(db_); }
    void Execute(const char* sql) {
        ASSERT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    }
    // The first value of the first row.
    std::string Value(const std::string& sql) {
        std::string value;
        sqlite3_exec(
            db_, sql.c_str(),
            [](void* out, int, char** values, char**) {
                *static_cast<std::string*>(out) = values[0] ? values[0] : "";
                return 0;
            },
            &value, nullptr);
        return value;
    }

private:
    sqlite3* db_ = nullptr;
};

struct ExpectedColumn {
    const char* name;
    TFieldType type;
    int size;
};

void ExpectColumns(TableCursor& cursor, const std::vector<ExpectedColumn>& expected) {
    ASSERT_EQ(cursor.FieldCount(), static_cast<int>(expected.size())) << cursor.TableName();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        CursorField& field = cursor.FieldAt(static_cast<int>(i));
        EXPECT_EQ(field.FieldName(), expected[i].name);
        EXPECT_EQ(field.FieldType(), expected[i].type) << expected[i].name;
        EXPECT_EQ(field.Size(), expected[i].size) << expected[i].name;
    }
}

std::vector<std::string> Texts(TableCursor& cursor) {
    std::vector<std::string> texts;
    for (int i = 0; i < cursor.FieldCount(); ++i) {
        texts.push_back(cursor.FieldAt(i).ReadString());
    }
    return texts;
}

std::unique_ptr<TableCursor> Open(const std::string& alias, const std::string& table) {
    auto cursor = std::make_unique<TableCursor>();
    cursor->SetDatabaseName(alias);
    cursor->SetTableName(table);
    cursor->Open();
    return cursor;
}

TEST(SqliteEngine, DeclaredTypesMapToFieldTypes) {
    TestDatabase db(TestEngine::SQLite);
    db.Execute(
        "CREATE TABLE t (k INTEGER PRIMARY KEY, a SMALLINT, b int, c BIGINT, d WORD, "
        "e varchar(12), f CHARACTER VARYING ( 3 ), g TEXT, h REAL, i DOUBLE PRECISION, "
        "j MONEY, k2 DECIMAL(8,2), l DATE, m TIME, n DATETIME, o TIMESTAMP, p BOOLEAN, q BLOB, "
        "r, s UNSIGNED INTEGER, u FLOATING POINT)");
    // Names nothing recognises follow SQLite's affinity rules: FLOATING POINT holds "INT".
    auto cursor = Open(db.Alias(), "t");
    ExpectColumns(*cursor, {{"k", ftAutoInc, 0},  {"a", ftSmallint, 0}, {"b", ftInteger, 0},
                            {"c", ftInteger, 0},  {"d", ftWord, 0},     {"e", ftString, 12},
                            {"f", ftString, 3},   {"g", ftString, 0},   {"h", ftFloat, 0},
                            {"i", ftFloat, 0},    {"j", ftCurrency, 0}, {"k2", ftBCD, 0},
                            {"l", ftDate, 0},     {"m", ftTime, 0},     {"n", ftDateTime, 0},
                            {"o", ftDateTime, 0}, {"p", ftBoolean, 0},  {"q", ftBlob, 0},
                            {"r", ftString, 0},   {"s", ftInteger, 0},  {"u", ftInteger, 0}});
    // The rowid alias takes 64-bit values and stays writable; WORD and BIGINT keep their ranges.
    cursor->Append();
    cursor->FieldAt(0).WriteString("5000000000");
    cursor->FieldAt(3).WriteString("5000000000");
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor->FieldAt(4).WriteString("-1"); }),
              "-1 is not a valid value for field 'd'. The allowed range is 0 to 65535");
    cursor->FieldAt(17).WriteString(std::string("a\0b", 3));
    cursor->Post();
    EXPECT_EQ(db.QueryValue("SELECT k || ' ' || c || ' ' || length(q) FROM t"),
              "5000000000 5000000000 3");
}

TEST(SqliteEngine, DemoDatabaseIsCreatedOnFirstUse) {
    TempDir data;
    ScopedEnv xdg("XDG_DATA_HOME", data.Path());
    TestDatabase db(TestEngine::SQLite);  // its configuration does not define Demo
    std::vector<std::string> aliases;
    DatabaseSession::Instance().ListAliases(aliases);
    EXPECT_EQ(aliases, (std::vector<std::string>{"Demo", "Test"}));
    const std::string file = data.File("rowsmith/demo.sqlite");
    EXPECT_FALSE(std::filesystem::exists(file));

    std::vector<std::string> tables;
    DatabaseSession::Instance().ListTables("demo", true, tables);
    EXPECT_EQ(tables,
              (std::vector<std::string>{"customers", "employees", "items", "orders", "parts"}));
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(OtherConnection(file).Value("PRAGMA user_version"), "1");

    const struct {
        const char* table;
        std::vector<ExpectedColumn> columns;
    } demo[] = {
        {"employees",
         {{"EmpNo", ftAutoInc, 0},
          {"LastName", ftString, 20},
          {"FirstName", ftString, 15},
          {"PhoneExt", ftString, 4},
          {"HireDate", ftDate, 0},
          {"StartTime", ftTime, 0},
          {"Salary", ftCurrency, 0},
          {"Notes", ftString, 0},
          {"Email", ftString, 50}}},
        {"parts",
         {{"PartNo", ftAutoInc, 0},
          {"Description", ftString, 40},
          {"OnHand", ftSmallint, 0},
          {"Cost", ftFloat, 0},
          {"ListPrice", ftCurrency, 0},
          {"Weight", ftFloat, 0}}},
        {"customers",
         {{"CustNo", ftAutoInc, 0},
          {"Company", ftString, 40},
          {"Contact", ftString, 30},
          {"City", ftString, 30},
          {"Country", ftString, 60},
          {"Phone", ftString, 15},
          {"CreditLimit", ftCurrency, 0},
          {"Since", ftDate, 0},
          {"Active", ftBoolean, 0},
          {"FirstName", ftString, 15},
          {"LastName", ftString, 20},
          {"Email", ftString, 50}}},
        {"orders",
         {{"OrderNo", ftAutoInc, 0},
          {"CustNo", ftInteger, 0},
          {"EmpNo", ftInteger, 0},
          {"SaleDate", ftDate, 0},
          {"ShipDate", ftDateTime, 0},
          {"ShipVia", ftString, 7},
          {"AmountPaid", ftCurrency, 0},
          {"Paid", ftBoolean, 0},
          {"OrderRef", ftString, 12}}},
        {"items",
         {{"ItemNo", ftAutoInc, 0},
          {"OrderNo", ftInteger, 0},
          {"PartNo", ftInteger, 0},
          {"Qty", ftSmallint, 0},
          {"Discount", ftBCD, 0}}},
    };
    for (const auto& table : demo) {
        auto cursor = Open("Demo", table.table);
        ExpectColumns(*cursor, table.columns);
        EXPECT_GE(cursor->CountRecords(), 4) << table.table;
    }
    auto orders = Open("Demo", "orders");
    EXPECT_EQ(Texts(*orders),
              (std::vector<std::string>{"1", "1", "1", "2024-01-08", "2024-01-10 14:30:00", "UPS",
                                        "448.9", "True", "ORD-2401-HC"}));
}

// examples/demo.scn (which tests/cli fills on every engine) has a setting for every column of
// the demo, in the columns' order.
TEST(SqliteEngine, DemoScenarioSetsEveryColumnOfTheDemoDatabase) {
    TempDir data;
    ScopedEnv xdg("XDG_DATA_HOME", data.Path());
    TestDatabase db(TestEngine::SQLite);
    TFillScenario scenario;
    scenario.LoadFromFile(ROWSMITH_EXAMPLES_DIR "/demo.scn");
    ASSERT_EQ(scenario.AliasName(), "Demo");
    ASSERT_EQ(scenario.Tables().Count(), 5);
    for (int t = 0; t < scenario.Tables().Count(); ++t) {
        TFillTable& table = scenario.Tables().Items(t);
        auto cursor = Open("Demo", table.TableName());
        ASSERT_EQ(table.Fields().Count(), cursor->FieldCount()) << table.TableName();
        for (int f = 0; f < cursor->FieldCount(); ++f) {
            EXPECT_EQ(table.Fields().Items(f).FieldName(), cursor->FieldAt(f).FieldName());
        }
    }
}

TEST(SqliteEngine, AliasConfigurationInTheCurrentFolder) {
    TempDir folder;
    std::filesystem::create_directory(folder.File("data"));
    WriteFile(folder.File("rowsmith-aliases.ini"),
              "[Local]\r\nDRIVER=sqlite\r\nPATH=data/local.sqlite\r\n\r\n[alpha]\r\n"
              "DRIVER=SQLITE\r\nPATH=/nowhere/alpha.sqlite\r\n\r\n[NoPath]\r\nDRIVER=SQLITE\r\n");
    OtherConnection(folder.File("data/local.sqlite")).Execute("CREATE TABLE here (x INTEGER)");

    ScopedCurrentFolder inside(folder.Path());
    DatabaseSession::Instance().SetConfigFile("");
    std::vector<std::string> aliases;
    DatabaseSession::Instance().ListAliases(aliases);
    EXPECT_EQ(aliases, (std::vector<std::string>{"alpha", "Demo", "Local", "NoPath"}));
    std::vector<std::string> tables;
    DatabaseSession::Instance().ListTables("LOCAL", false, tables);
    EXPECT_EQ(tables, (std::vector<std::string>{"here"}));

    // A path to no file is refused, not quietly created.
    EXPECT_THROW(DatabaseSession::Instance().ListTables("alpha", false, tables), EDBEngineError);
    EXPECT_EQ(MessageOf<EDBEngineError>(
                  [&] { DatabaseSession::Instance().ListTables("NoPath", false, tables); }),
              "Alias 'NoPath' names no database file (PATH)");
    EXPECT_EQ(MessageOf<EDBEngineError>([] { DatabaseSession::Instance().Connect("Nope"); }),
              "Unknown database alias 'Nope'");
    DatabaseSession::Instance().Reset();
}

TEST(SqliteEngine, AnotherProgramsWriteLockMakesWritesFailNotHang) {
    TestDatabase db(TestEngine::SQLite);
    db.Execute("CREATE TABLE t (x INTEGER)");
    db.AddAliasKey("LOCK TIMEOUT=1");
    auto cursor = Open(db.Alias(), "t");
    OtherConnection other(db.Folder().File("test.sqlite"));
    other.Execute("BEGIN IMMEDIATE");

    cursor->Append();
    cursor->FieldAt(0).WriteInteger(1);
    // The message names the table.
    const std::string locked =
        "database is locked\nTable \"t\" stayed locked by another connection longer than the "
        "alias's LOCK TIMEOUT";
    EXPECT_EQ(MessageOf<ELockTimeout>([&] { cursor->Post(); }), locked);
    {
        FillRunScope run(db.Alias());
        EXPECT_EQ(MessageOf<ELockTimeout>([&] { cursor->Post(); }), locked);
    }
    other.Execute("ROLLBACK");
    cursor->Post();
    EXPECT_EQ(db.QueryValue("SELECT x FROM t"), "1");
}

TEST(SqliteEngine, ACommitThatAReaderBlocksIsReportedNotLostQuietly) {
    TestDatabase db(TestEngine::SQLite);
    db.Execute("CREATE TABLE t (x INTEGER)");
    db.AddAliasKey("LOCK TIMEOUT=1");
    auto cursor = Open(db.Alias(), "t");
    OtherConnection reader(db.Folder().File("test.sqlite"));
    reader.Execute("BEGIN");
    EXPECT_EQ(reader.Value("SELECT count(*) FROM t"), "0");

    FillRunScope run(db.Alias());
    cursor->Append();
    cursor->FieldAt(0).WriteInteger(1);
    cursor->Post();
    EXPECT_EQ(MessageOf<ELockTimeout>([&] { run.Finish(); }),
              "database is locked\nThe records posted since the last commit were rolled back\n"
              "Table \"t\" stayed locked by another connection longer than the alias's LOCK "
              "TIMEOUT");
    reader.Execute("COMMIT");
    EXPECT_EQ(db.QueryValue("SELECT count(*) FROM t"), "0");
}

TEST(SqliteEngine, ListTablesGivesPlainNamesWithoutInternalTables) {
    TestDatabase db(TestEngine::SQLite);
    db.Execute("CREATE TABLE b (id INTEGER PRIMARY KEY AUTOINCREMENT)");
    db.Execute("CREATE TABLE A (x)");
    db.Execute("CREATE VIEW v AS SELECT * FROM b");
    for (bool withExtensions : {false, true}) {
        std::vector<std::string> tables{"stale"};
        DatabaseSession::Instance().ListTables(db.Alias(), withExtensions, tables);
        EXPECT_EQ(tables, (std::vector<std::string>{"A", "b"}));
    }
}

TEST(SqliteEngine, WithoutRowidTablesWalkAndWriteByPrimaryKey) {
    TestDatabase db(TestEngine::SQLite);
    db.Execute("CREATE TABLE w (a TEXT, b INTEGER, v TEXT, PRIMARY KEY (b, a)) WITHOUT ROWID");
    db.Execute("INSERT INTO w VALUES ('x', 2, 'first'), ('y', 1, 'second'), ('a', 2, 'third')");
    auto cursor = Open(db.Alias(), "w");
    std::vector<std::string> order;
    while (!cursor->AtEnd()) {
        order.push_back(cursor->FieldAt(0).ReadString());
        cursor->Edit();
        cursor->FieldAt(2).WriteString("seen");
        cursor->Post();
        cursor->Next();
    }
    EXPECT_EQ(order, (std::vector<std::string>{"y", "a", "x"}));
    EXPECT_EQ(db.QueryValue("SELECT count(*) FROM w WHERE v = 'seen'"), "3");

    cursor->Append();
    cursor->FieldAt(0).WriteString("z");
    cursor->FieldAt(1).WriteInteger(9);
    cursor->Post();
    cursor->Edit();
    cursor->FieldAt(1).WriteInteger(10);  // moves the record's key
    cursor->Post();
    cursor->Edit();
    cursor->FieldAt(2).WriteString("moved");
    cursor->Post();
    EXPECT_EQ(db.QueryValue("SELECT b || v FROM w WHERE a = 'z'"), "10moved");
    cursor->Delete();
    EXPECT_EQ(db.QueryValue("SELECT count(*) FROM w"), "3");
}

// Key columns written with the values they hold are left out of an update, which must still
// write the other columns, follow a key that does change, and find a record that is gone.
TEST(SqliteEngine, UpdatesThatRewriteTheKeyWriteTheRecordInPlace) {
    TestDatabase db(TestEngine::SQLite);
    db.Execute("CREATE TABLE k (id INTEGER PRIMARY KEY, v TEXT)");
    db.Execute("CREATE TABLE w (a TEXT, b INTEGER, v TEXT, PRIMARY KEY (a, b)) WITHOUT ROWID");
    db.Execute("INSERT INTO k VALUES (1, 'old'), (2, 'old')");
    db.Execute("INSERT INTO w VALUES ('x', 1, 'old')");
    auto keyed = Open(db.Alias(), "k");
    for (const char* value : {"new", "again"}) {
        keyed->Edit();
        keyed->FieldAt(0).WriteInteger(1);
        keyed->FieldAt(1).WriteString(value);
        keyed->Post();
    }
    auto composite = Open(db.Alias(), "w");
    for (int b : {2, 2}) {
        composite->Edit();
        composite->FieldAt(0).WriteString("x");
        composite->FieldAt(1).WriteInteger(b);
        composite->FieldAt(2).WriteString("moved" + std::to_string(b));
        composite->Post();
    }
    EXPECT_EQ(db.QueryValue("SELECT group_concat(id || v) FROM k"), "1again,2old");
    EXPECT_EQ(db.QueryValue("SELECT group_concat(a || b || v) FROM w"), "x2moved2");

    db.Execute("DELETE FROM k WHERE id = 1");
    keyed->Edit();
    keyed->FieldAt(0).WriteInteger(1);
    EXPECT_THROW(keyed->Post(), EDBEngineError);
}

TEST(SqliteEngine, AColumnCalledRowidDoesNotHideTheRecords) {
    TestDatabase db(TestEngine::SQLite);
    db.Execute("CREATE TABLE r (rowid TEXT, oid TEXT)");
    db.Execute("INSERT INTO r VALUES ('b', '1'), ('a', '2')");
    auto cursor = Open(db.Alias(), "r");
    cursor->Next();
    cursor->Edit();
    cursor->FieldAt(1).WriteString("changed");
    cursor->Post();
    EXPECT_EQ(db.QueryValue("SELECT oid FROM r WHERE rowid = 'a'"), "changed");
}

TEST(SqliteEngine, AnExclusiveTableCanBeItsOwnMaster) {
    TestDatabase db(TestEngine::SQLite);
    db.Execute("CREATE TABLE t (x INTEGER)");
    db.Execute("INSERT INTO t VALUES (1), (2)");
    auto work = std::make_unique<TableCursor>();
    work->SetDatabaseName(db.Alias());
    work->SetTableName("t");
    work->SetExclusive(true);
    work->Open();
    auto master = Open(db.Alias(), "t");
    FillRunScope run(db.Alias());
    for (int i = 0; i < 4; ++i) {
        work->Append();
        work->FieldAt(0).WriteString(master->FieldAt(0).ReadString());
        work->Post();
        master->Next();
        if (master->AtEnd()) {
            master->First();
        }
    }
    run.Finish();
    EXPECT_EQ(db.QueryValue("SELECT group_concat(x, ',') FROM t"), "1,2,1,2,1,2");
}

}  // namespace
}  // namespace rowsmith::test
