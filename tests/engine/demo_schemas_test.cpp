// The demo tables stand three times: in the SQLite demo builder, in examples/postgres-demo.sql and
// in examples/mariadb-demo.sql. Each script loaded beside the SQLite demo must show the same
// tables, columns and rows, so a change to one cannot silently miss the others. Needs the
// PostgreSQL and MariaDB test servers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/database_session.h"
#include "engine/field_type.h"
#include "engine/table_cursor.h"
#include "scoped_env.h"
#include "temp_dir.h"
#include "test_database.h"

namespace rowsmith::test {
namespace {

using Lines = std::vector<std::string>;

struct DemoContents {
    Lines tables;
    // "table.column type size", one per column in table order.
    Lines columns;
    // "table: value | value | ...", one per record in the table's order.
    Lines rows;
};

// What the alias's tables hold, read through the engine as the fill and the data viewer read it.
DemoContents ContentsOf(const std::string& alias) {
    DemoContents contents;
    DatabaseSession::Instance().ListTables(alias, false, contents.tables);
    for (const std::string& table : contents.tables) {
        TableCursor cursor;
        cursor.SetDatabaseName(alias);
        cursor.SetTableName(table);
        cursor.Open();
        for (int i = 0; i < cursor.FieldCount(); ++i) {
            CursorField& field = cursor.FieldAt(i);
            contents.columns.push_back(table + "." + field.FieldName() + " " +
                                       FieldTypeName(field.FieldType()) + " " +
                                       std::to_string(field.Size()));
        }
        for (; !cursor.AtEnd(); cursor.Next()) {
            std::string row = table + ":";
            for (int i = 0; i < cursor.FieldCount(); ++i) {
                row += (i == 0 ? " " : " | ") + cursor.FieldAt(i).ReadString();
            }
            contents.rows.push_back(row);
        }
    }
    return contents;
}

// Loads `script` into a fresh database of `engine` and compares it with the SQLite demo.
void ExpectSameAsTheSqliteDemo(TestEngine engine, const char* script) {
    TempDir data;
    ScopedEnv xdg("XDG_DATA_HOME", data.Path());
    TestDatabase server(engine);  // its configuration leaves Demo built in
    server.Execute(ReadFile(std::string(ROWSMITH_EXAMPLES_DIR "/") + script));

    const DemoContents sqlite = ContentsOf("Demo");
    const DemoContents loaded = ContentsOf(server.Alias());
    EXPECT_EQ(sqlite.tables, (Lines{"customers", "employees", "items", "orders", "parts"}));
    EXPECT_EQ(sqlite.tables, loaded.tables);
    EXPECT_EQ(sqlite.columns, loaded.columns);
    EXPECT_EQ(sqlite.rows, loaded.rows);
    EXPECT_EQ(sqlite.rows.size(), 23u);
}

TEST(DemoSchemas, TheSqliteDemoAndThePostgresScriptHoldTheSameTablesColumnsAndRows) {
    if (std::getenv("ROWSMITH_TEST_PGHOST") == nullptr) {
        GTEST_SKIP() << "no PostgreSQL test server (run under tests/support/with-postgres)";
    }
    ExpectSameAsTheSqliteDemo(TestEngine::PostgreSQL, "postgres-demo.sql");
}

TEST(DemoSchemas, TheSqliteDemoAndTheMariaDbScriptHoldTheSameTablesColumnsAndRows) {
    if (std::getenv("ROWSMITH_TEST_MYSOCKET") == nullptr) {
        GTEST_SKIP() << "no MariaDB test server (run under tests/support/with-mariadb)";
    }
    ExpectSameAsTheSqliteDemo(TestEngine::MariaDB, "mariadb-demo.sql");
}

}  // namespace
}  // namespace rowsmith::test
