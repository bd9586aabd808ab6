#include <string>

#include "my_fixture.h"

namespace rowsmith::test {
namespace {

// Updates in a run go to the server a thousand at a time; a refused one keeps exactly those
// before it, whether the server refuses the value or the record is gone. An update that changes
// nothing still finds its record.
TEST_F(MyDriverTest, RefusedUpdateKeepsExactlyThoseBefore) {
    db_->Execute(
        "CREATE TABLE items (k integer NOT NULL PRIMARY KEY, v varchar(20) NOT NULL UNIQUE)"
        " ENGINE=InnoDB");
    static const struct {
        const char* what;
        int failAt;
        const char* message;
    } cases[] = {
        {"duplicate key", 2100, "Duplicate entry 'n5'"},
        {"record deleted by another connection", 1500, "Record not found"},
        {"none", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        db_->Execute("DELETE FROM items");
        db_->Execute("INSERT INTO items SELECT seq, 'o' || seq FROM seq_1_to_3000");
        auto table = Open("items");
        std::string error;
        try {
            Conn().BeginFillRun();
            for (int k = 1; k <= 3000; ++k) {
                RecordKey key{{std::int64_t{k}}};
                if (k == c.failAt && c.message[0] == 'R') {
                    db_->Execute("DELETE FROM items WHERE k = " + std::to_string(k));
                }
                const std::string value = k == c.failAt && c.message[0] == 'D' ? "n5"
                                          : k % 2 == 0 ? "o" + std::to_string(k)
                                                       : "n" + std::to_string(k);
                table->Update(key, {FieldValue{}, value}, {false, true});
            }
            Conn().EndFillRun();
        } catch (const EDBEngineError& e) {
            error = e.what();
            Conn().EndFillRun();
        }
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        const int kept = c.failAt == 0 ? 3000 : c.failAt - 1;
        EXPECT_EQ(db_->QueryValue("SELECT count(*) FROM items WHERE v LIKE 'n%'"),
                  std::to_string((kept + 1) / 2));
        EXPECT_EQ(db_->QueryValue("SELECT coalesce(max(k), 0) FROM items WHERE v LIKE 'n%'"),
                  std::to_string(kept % 2 ? kept : kept - 1));
    }
}

TEST_F(MyDriverTest, WholeRunIsCommittedAtItsEnd) {
    db_->Execute("CREATE TABLE items (k integer PRIMARY KEY, v text)");
    auto table = Open("items");
    EXPECT_EQ(FillRun(*table, 4500,
                      [](int k) {
                          return std::vector<FieldValue>{std::int64_t{k}, std::string("row")};
                      }),
              "");
    EXPECT_EQ(Count("items"), 4500);
}

// Without transactions a failing batch could not be undone: the table is refused before anything
// is written, while a write outside a fill still goes through.
TEST_F(MyDriverTest, MyIsamTableIsRefusedForAFill) {
    db_->Execute("CREATE TABLE flat (k integer PRIMARY KEY, v text) ENGINE=MyISAM");
    auto table = Open("flat");
    const std::string error = FillRun(*table, 10, [](int k) {
        return std::vector<FieldValue>{std::int64_t{k}, std::string("row")};
    });
    EXPECT_NE(error.find("MyISAM"), std::string::npos) << error;
    EXPECT_EQ(Count("flat"), 0);
    table->Insert({std::int64_t{1}, std::string("one")}, {true, true});
    EXPECT_EQ(Count("flat"), 1);
}

TEST_F(MyDriverTest, UpdateAndDeleteOfAGoneRecordAreErrors) {
    db_->Execute("CREATE TABLE items (k integer PRIMARY KEY, v text)");
    db_->Execute("INSERT INTO items VALUES (1, 'a'), (2, 'b')");
    auto table = Open("items");
    RecordKey key{{std::int64_t{1}}};
    // Writing the value a record already has still finds it.
    table->Update(key, {FieldValue{}, std::string("a")}, {false, true});
    table->Update(key, {std::int64_t{5}, std::string("z")}, {true, true});
    EXPECT_EQ(std::get<std::int64_t>(key.parts[0]), 5);
    EXPECT_EQ(db_->QueryValue("SELECT v FROM items WHERE k = 5"), "z");
    RecordKey gone{{std::int64_t{1}}};
    EXPECT_THROW(table->Update(gone, {FieldValue{}, std::string("x")}, {false, true}),
                 EDBEngineError);
    EXPECT_THROW(table->Delete(gone), EDBEngineError);
    table->Delete(key);
    EXPECT_EQ(Count("items"), 1);
}

}  // namespace
}  // namespace rowsmith::test
