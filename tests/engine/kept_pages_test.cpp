// A cursor with a page budget: a walk started again comes from the pages it kept, as long as the
// budget holds them all and the cursor did not write; otherwise it reads the table again.
#include "engine/page_budget.h"
#include "engine_fixture.h"

namespace rowsmith::test {
namespace {

class KeptPagesTest : public EngineTest {
protected:
    void SetUp() override {
        db_.Execute("CREATE TABLE people (id " + db_.AutoIncKeyType() + ", name VARCHAR(20))");
    }

    // Three pages of a walk and a half.
    void AddPeople() {
        db_.Execute("INSERT INTO people (name) SELECT 'p' || n FROM (" + db_.Numbers(3500) +
                    ") AS numbers");
    }

    // The ids of a walk from the first record to the end.
    static std::vector<std::string> Walk(TableCursor& cursor) {
        std::vector<std::string> ids;
        for (cursor.First(); !cursor.AtEnd(); cursor.Next()) {
            ids.push_back(cursor.FieldAt(0).ReadString());
        }
        return ids;
    }
};

TEST_P(KeptPagesTest, AWalkStartedAgainReadsTheTableOnlyPastTheBudget) {
    static const struct {
        const char* what;
        std::size_t budget;
        bool write;
        bool readsAgain;
    } cases[] = {
        {"ample budget", std::size_t{64} << 20, false, false},
        {"no budget", 0, false, true},
        {"budget short of the whole table", 200000, false, true},
        {"a cursor that wrote", std::size_t{64} << 20, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        db_.Execute("DELETE FROM people");
        AddPeople();
        PageBudget budget(c.budget);
        TableCursor cursor;
        cursor.SetDatabaseName(db_.Alias());
        cursor.SetTableName("people");
        cursor.SetPageBudget(&budget);
        cursor.Open();
        const std::vector<std::string> first = Walk(cursor);
        ASSERT_EQ(first.size(), 3500u);
        if (c.write) {
            cursor.First();
            cursor.Edit();
            cursor.FieldAt(1).WriteString("changed");
            cursor.Post();
        }
        // Half the records go behind the cursor's back.
        db_.Execute("DELETE FROM people WHERE id % 2 = 0");
        EXPECT_EQ(Walk(cursor).size(), c.readsAgain ? 1750u : 3500u);
        EXPECT_EQ(Walk(cursor).size(), c.readsAgain ? 1750u : 3500u);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, KeptPagesTest, ::testing::ValuesIn(TestEngines()),
                         EngineTestName);

}  // namespace
}  // namespace rowsmith::test
