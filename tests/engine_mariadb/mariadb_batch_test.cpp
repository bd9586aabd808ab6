#include <string>

#include "mariadb_fixture.h"

namespace rowsmith::test {
namespace {

TEST_F(MariaDriverTest, WholeRunIsCommittedAtItsEnd) {
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
TEST_F(MariaDriverTest, MyIsamTableIsRefusedForAFill) {
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

TEST_F(MariaDriverTest, UpdateAndDeleteOfAGoneRecordAreErrors) {
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
