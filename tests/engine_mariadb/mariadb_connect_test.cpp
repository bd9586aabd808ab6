#include <string>

#include "mariadb_fixture.h"

namespace rowsmith::test {
namespace {

class MariaLoginTest : public MariaDriverTest {
protected:
    void SetUp() override {
        MariaDriverTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        // rs_login has a password; the alias holds none, so the login handler is asked.
        alias_.user = "rs_login";
    }

    // Connects with a handler that answers each request with the next of `answers` ("" cancels).
    std::string Connect(const std::vector<std::string>& answers, int& asked) {
        asked = 0;
        LoginHandler handler = [&](const LoginPrompt& prompt, std::string& user,
                                   std::string& password) {
            EXPECT_EQ(prompt.alias, "MariaTest");
            // The server's words come along; a refusal only after a password was given.
            EXPECT_NE(prompt.reason.find("Access denied"), std::string::npos) << prompt.reason;
            EXPECT_EQ(prompt.refused, asked > 0);
            EXPECT_EQ(user, "rs_login");
            if (asked >= static_cast<int>(answers.size()) || answers[asked].empty()) {
                ++asked;
                return false;
            }
            password = answers[asked++];
            return true;
        };
        try {
            auto conn = ConnectMariaDb(alias_, handler);
            conn->ListTables(false);
        } catch (const EDatabaseError& error) {
            return error.what();
        }
        return "";
    }
};

TEST_F(MariaLoginTest, RightPasswordConnects) {
    int asked = 0;
    EXPECT_EQ(Connect({"rs-secret"}, asked), "");
    EXPECT_EQ(asked, 1);
}

TEST_F(MariaLoginTest, WrongPasswordIsAskedAgainThenRefused) {
    int asked = 0;
    EXPECT_EQ(Connect({"wrong", "rs-secret"}, asked), "");
    EXPECT_EQ(asked, 2);
    const std::string error = Connect({"a", "b", "c"}, asked);
    EXPECT_EQ(asked, 3);
    EXPECT_NE(error.find("Access denied"), std::string::npos) << error;
}

TEST_F(MariaLoginTest, CancelledLoginCannotConnect) {
    int asked = 0;
    EXPECT_EQ(Connect({""}, asked), "Cannot connect to database 'MariaTest'");
    EXPECT_EQ(asked, 1);
}

TEST_F(MariaLoginTest, PasswordOfTheAliasIsNotAskedFor) {
    alias_.password = "rs-secret";
    int asked = 0;
    EXPECT_EQ(Connect({}, asked), "");
    EXPECT_EQ(asked, 0);
}

TEST_F(MariaDriverTest, ListsBaseTablesOnly) {
    db_->Execute("CREATE TABLE b (k integer PRIMARY KEY)");
    db_->Execute("CREATE TABLE a (k integer PRIMARY KEY)");
    db_->Execute("CREATE VIEW v AS SELECT k FROM a");
    EXPECT_EQ(Conn().ListTables(false), (std::vector<std::string>{"a", "b"}));
}

TEST_F(MariaDriverTest, LockTimeoutMustBeWholeSeconds) {
    alias_.lockTimeout = "soon";
    EXPECT_THROW(ConnectMariaDb(alias_, nullptr), EDBEngineError);
    alias_.lockTimeout = "2";
    EXPECT_NO_THROW(ConnectMariaDb(alias_, nullptr));
}

// Names with backquotes, blanks and double quotes are quoted, never spliced.
TEST_F(MariaDriverTest, IdentifiersWithBackquotesAndBlanks) {
    db_->Execute(
        "CREATE TABLE `odd ``name`` \"x\"` (`key ``k``` integer PRIMARY KEY,"
        " `the value` text)");
    auto table = Open("odd `name` \"x\"");
    ASSERT_EQ(table->Columns().size(), 2u);
    EXPECT_EQ(table->Columns()[0].name, "key `k`");
    table->Insert({std::int64_t{1}, std::string("one")}, {true, true});
    RecordKey key = table->LastInsertKey();
    table->Update(key, {FieldValue{}, std::string("uno")}, {false, true});
    const std::vector<Record> page = table->ReadPage(nullptr, 10);
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(std::get<std::string>(page[0].values[1]), "uno");
    table->Delete(key);
    EXPECT_EQ(table->Count(), 0);
}

// Pages follow the primary key, else a unique key of NOT NULL columns; a table with neither is
// read by position, but refused for changes, which must find a record again for certain.
TEST_F(MariaDriverTest, WalksByTheKeyItCanFindRecordsBy) {
    db_->Execute("CREATE TABLE pk (a integer, b integer, v text, PRIMARY KEY (b, a))");
    db_->Execute("INSERT INTO pk VALUES (2, 1, 'x'), (1, 2, 'y'), (1, 1, 'z'), (3, 1, 'w')");
    auto byPrimary = Open("pk");
    std::vector<Record> first = byPrimary->ReadPage(nullptr, 2);
    ASSERT_EQ(first.size(), 2u);
    std::vector<Record> rest = byPrimary->ReadPage(&first.back().key, 10);
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(std::get<std::string>(first[0].values[2]), "z");
    EXPECT_EQ(std::get<std::string>(first[1].values[2]), "x");
    EXPECT_EQ(std::get<std::string>(rest[0].values[2]), "w");
    EXPECT_EQ(std::get<std::string>(rest[1].values[2]), "y");
    Record record;
    ASSERT_TRUE(byPrimary->SeekPosition(3, 4, record));
    EXPECT_EQ(std::get<std::string>(record.values[2]), "y");
    ASSERT_TRUE(byPrimary->SeekPosition(1, -1, record));
    EXPECT_EQ(std::get<std::string>(record.values[2]), "x");

    db_->Execute(
        "CREATE TABLE uq (n integer, code varchar(5) NOT NULL, UNIQUE (n),"
        " UNIQUE (code))");
    db_->Execute("INSERT INTO uq VALUES (1, 'b'), (NULL, 'a')");
    const std::vector<Record> byCode = Open("uq")->ReadPage(nullptr, 10);
    ASSERT_EQ(byCode.size(), 2u);
    EXPECT_EQ(std::get<std::string>(byCode[0].key.parts[0]), "a");

    db_->Execute("CREATE TABLE loose (v text)");
    auto loose = Open("loose");
    loose->Insert({std::string("one")}, {true});
    loose->Insert({std::string("two")}, {true});
    EXPECT_EQ(loose->Count(), 2);
    const std::vector<Record> firstOfLoose = loose->ReadPage(nullptr, 1);
    ASSERT_EQ(firstOfLoose.size(), 1u);
    const std::vector<Record> restOfLoose = loose->ReadPage(&firstOfLoose[0].key, 10);
    ASSERT_EQ(restOfLoose.size(), 1u);
    EXPECT_EQ(std::get<std::string>(restOfLoose[0].values[0]), "two");
    RecordKey looseKey = loose->LastInsertKey();
    try {
        loose->Update(looseKey, {std::string("three")}, {true});
        ADD_FAILURE() << "a record of a table without a key was changed";
    } catch (const EDBEngineError& error) {
        EXPECT_NE(std::string(error.what()).find("Give it a primary key"), std::string::npos);
    }
    EXPECT_THROW(loose->Delete(looseKey), EDBEngineError);
    EXPECT_EQ(db_->QueryValue("SELECT group_concat(v ORDER BY v) FROM loose"), "one,two");
}

}  // namespace
}  // namespace rowsmith::test
