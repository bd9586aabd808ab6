// ReadConstraints: the drivers read NOT NULL, defaults, primary and unique keys and foreign keys
// of a table from their catalogs, and refuse a table that does not exist.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "engine/database_errors.h"
#include "engine/database_session.h"
#include "engine_fixture.h"

namespace rowsmith::test {
namespace {

class ConstraintsTest : public EngineTest {
protected:
    TableConstraints Read(const std::string& table) {
        return DatabaseSession::Instance().Connect(db_.Alias()).ReadConstraints(table);
    }
};

using Keys = std::vector<std::vector<std::string>>;

TEST_P(ConstraintsTest, ReadsTheCatalog) {
    db_.Execute("CREATE TABLE p (a INTEGER, b INTEGER, PRIMARY KEY (a, b))");
    db_.Execute(
        "CREATE TABLE t (id INTEGER PRIMARY KEY, code VARCHAR(5) NOT NULL UNIQUE, "
        "kind INTEGER NOT NULL DEFAULT 1, note VARCHAR(9), x INTEGER, y INTEGER, "
        "FOREIGN KEY (x, y) REFERENCES p (a, b))");
    db_.Execute("CREATE UNIQUE INDEX t_note ON t (note, kind)");
    db_.Execute("CREATE INDEX t_plain ON t (x)");

    const TableConstraints t = Read("t");
    ASSERT_EQ(t.columns.size(), 6u);
    // SQLite numbers an INTEGER PRIMARY KEY itself (the rowid); the servers only a serial one.
    const bool server = db_.Engine() != TestEngine::SQLite;
    const std::vector<std::tuple<std::string, bool, bool>> expected = {
        {"id", server, !server}, {"code", true, false}, {"kind", true, true},
        {"note", false, false},  {"x", false, false},   {"y", false, false}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& [name, notNull, hasDefault] = expected[i];
        EXPECT_EQ(t.columns[i].name, name);
        EXPECT_EQ(t.columns[i].notNull, notNull) << name;
        EXPECT_EQ(t.columns[i].hasDefault, hasDefault) << name;
    }
    ASSERT_GE(t.uniqueKeys.size(), 3u);
    EXPECT_EQ(t.uniqueKeys.front(), std::vector<std::string>{"id"});
    Keys rest(t.uniqueKeys.begin() + 1, t.uniqueKeys.end());
    std::sort(rest.begin(), rest.end());
    EXPECT_EQ(rest, (Keys{{"code"}, {"note", "kind"}}));
    ASSERT_EQ(t.foreignKeys.size(), 1u);
    EXPECT_EQ(t.foreignKeys[0].columns, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(t.foreignKeys[0].parentTable, "p");
    EXPECT_EQ(t.foreignKeys[0].parentColumns, (std::vector<std::string>{"a", "b"}));

    EXPECT_EQ(Read("p").uniqueKeys, (Keys{{"a", "b"}}));
    EXPECT_THROW(Read("missing"), EDBEngineError);
}

INSTANTIATE_TEST_SUITE_P(Engines, ConstraintsTest, ::testing::ValuesIn(TestEngines()),
                         EngineTestName);

}  // namespace
}  // namespace rowsmith::test
