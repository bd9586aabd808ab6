// A demo database made by an earlier version is brought up to this version's tables when the
// alias Demo is opened, keeping its records; a file that is not the demo is never changed.
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/database_session.h"
#include "engine/sqlite/demo_database.h"
#include "old_demo.h"
#include "scoped_env.h"
#include "temp_dir.h"
#include "test_database.h"

namespace rowsmith::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

const char* const kTables[] = {"employees", "parts", "customers", "orders", "items"};

// The result of `sql` on the file at `path`, read past Rowsmith's engine; NULL reads "NULL".
Rows Query(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    Rows rows;
    char* error = nullptr;
    sqlite3_exec(
        db, sql.c_str(),
        [](void* out, int count, char** values, char**) {
            std::vector<std::string> row;
            for (int i = 0; i < count; ++i) {
                row.push_back(values[i] != nullptr ? values[i] : "NULL");
            }
            static_cast<Rows*>(out)->push_back(row);
            return 0;
        },
        &rows, &error);
    EXPECT_EQ(error, nullptr) << error << "\n" << sql;
    sqlite3_free(error);
    sqlite3_close(db);
    return rows;
}

std::string Value(const std::string& path, const std::string& sql) {
    const Rows rows = Query(path, sql);
    return rows.empty() ? "" : rows[0][0];
}

// Everything that makes up the tables: columns, references, indexes.
Rows Layout(const std::string& path) {
    Rows layout = Query(path, "SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name");
    for (const std::string table : kTables) {
        for (const char* sql :
             {"SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info('",
              "SELECT \"from\", \"table\", \"to\", on_delete FROM pragma_foreign_key_list('"}) {
            for (std::vector<std::string> row : Query(path, sql + table + "') ORDER BY 1")) {
                row.insert(row.begin(), table);
                layout.push_back(row);
            }
        }
    }
    return layout;
}

// Every record of every table, in key order.
Rows Records(const std::string& path) {
    Rows records;
    for (const std::string table : kTables) {
        for (std::vector<std::string> row : Query(path, "SELECT * FROM " + table + " ORDER BY 1")) {
            row.insert(row.begin(), table);
            records.push_back(row);
        }
    }
    return records;
}

class DemoUpgradeTest : public ::testing::Test {
protected:
    DemoUpgradeTest() { std::filesystem::create_directories(data.File("rowsmith")); }

    // Opens the alias Demo as the fill and the window do.
    void OpenDemo() {
        TestDatabase session(TestEngine::SQLite);  // its configuration leaves Demo built in
        std::vector<std::string> tables;
        DatabaseSession::Instance().ListTables("Demo", false, tables);
    }

    TempDir data;
    ScopedEnv xdg{"XDG_DATA_HOME", data.Path()};
    const std::string demo = data.File("rowsmith/demo.sqlite");
};

TEST_F(DemoUpgradeTest, EveryOlderDemoGetsTheTablesOfANewOneAndKeepsItsRecords) {
    const std::string fresh = data.File("fresh.sqlite");
    EnsureDemoDatabase(fresh);
    const struct {
        OldDemo kind;
        const char* name;
        // The order left behind by a version whose references did not cascade stays.
        const char* brokenReferences;
    } cases[] = {
        {OldDemo::NoCascade, "no cascade", "1"},
        {OldDemo::NoIndexes, "no indexes", "0"},
        {OldDemo::Unversioned, "unversioned", "0"},
    };
    for (const auto& old : cases) {
        SCOPED_TRACE(old.name);
        std::filesystem::remove(demo);
        WriteOldDemo(demo, old.kind);
        const Rows before = Records(demo);

        OpenDemo();
        EXPECT_EQ(Value(demo, "PRAGMA user_version"), "1");
        EXPECT_EQ(Layout(demo), Layout(fresh));
        const Rows after = Records(demo);
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t i = 0; i < after.size(); ++i) {
            // The added columns stand last and are empty.
            const std::vector<std::string> kept(after[i].begin(),
                                                after[i].begin() + before[i].size());
            EXPECT_EQ(kept, before[i]);
            for (std::size_t c = before[i].size(); c < after[i].size(); ++c) {
                EXPECT_EQ(after[i][c], "NULL") << after[i][0] << " column " << c;
            }
        }
        EXPECT_EQ(Value(demo, "SELECT count(*) FROM pragma_foreign_key_check"),
                  old.brokenReferences);

        // The references cascade now: customer 1's orders go, and their items with them.
        Query(demo, "DELETE FROM customers WHERE CustNo = 1");
        EXPECT_EQ(Query(demo, "SELECT OrderNo FROM orders WHERE CustNo = 1").size(), 0u);
        EXPECT_EQ(Value(demo, "SELECT group_concat(ItemNo) FROM items"), "3");
    }
}

TEST_F(DemoUpgradeTest, AFileThatIsNotTheDemoIsLeftAsItIs) {
    const struct {
        const char* name;
        const char* change;
    } cases[] = {
        {"a table of its own", "CREATE TABLE visits (at DATE)"},
        {"a column of its own", "ALTER TABLE customers ADD COLUMN Region VARCHAR(10)"},
        {"a view", "CREATE VIEW active AS SELECT * FROM customers WHERE Active"},
        {"a table gone", "DROP TABLE items"},
        {"made by a newer version", "PRAGMA user_version = 7"},
    };
    for (const auto& other : cases) {
        SCOPED_TRACE(other.name);
        std::filesystem::remove(demo);
        WriteOldDemo(demo, OldDemo::NoCascade);
        Query(demo, other.change);
        const char* const everything = "SELECT type, name, sql FROM sqlite_master ORDER BY name";
        const Rows schema = Query(demo, everything);
        const std::string version = Value(demo, "PRAGMA user_version");

        OpenDemo();
        EXPECT_EQ(Query(demo, everything), schema);
        EXPECT_EQ(Value(demo, "PRAGMA user_version"), version);
    }
}

TEST_F(DemoUpgradeTest, ANewDemoIsLeftAsItIs) {
    OpenDemo();
    const Rows schema = Query(demo, "SELECT type, name, sql FROM sqlite_master ORDER BY name");
    OpenDemo();
    EXPECT_EQ(Query(demo, "SELECT type, name, sql FROM sqlite_master ORDER BY name"), schema);
    EXPECT_EQ(Value(demo, "PRAGMA user_version"), "1");
}

}  // namespace
}  // namespace rowsmith::test
