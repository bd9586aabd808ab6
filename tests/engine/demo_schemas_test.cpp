// The demo tables stand twice: in the SQLite demo builder and in examples/postgres-demo.sql. Both
// loaded side by side must show the same tables, columns and rows, so a change to one cannot
// silently miss the other. Needs the PostgreSQL test server.
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

TEST(DemoSchemas, TheSqliteDemoAndThePostgresScriptHoldTheSameTablesColumnsAndRows) {
    if (std::getenv("ROWSMITH_TEST_PGHOST") == nullptr) {
        GTEST_SKIP() << "no PostgreSQL test server (run under tests/support/with-postgres)";
    }
    TempDir data;
    ScopedEnv xdg("XDG_DATA_HOME", data.Path());
    TestDatabase server(TestEngine::PostgreSQL);  // its configuration leaves Demo built in
    server.Execute(ReadFile(ROWSMITH_EXAMPLES_DIR "/postgres-demo.sql"));

    const DemoContents sqlite = ContentsOf("Demo");
    const DemoContents postgres = ContentsOf(server.Alias());
    EXPECT_EQ(sqlite.tables, (Lines{"customers", "employees", "items", "orders", "parts"}));
    EXPECT_EQ(sqlite.tables, postgres.tables);
    EXPECT_EQ(sqlite.columns, postgres.columns);
    EXPECT_EQ(sqlite.rows, postgres.rows);
    EXPECT_EQ(sqlite.rows.size(), 23u);
}

}  // namespace
}  // namespace rowsmith::test
