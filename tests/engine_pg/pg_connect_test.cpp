#include <string>

#include "engine/database_errors.h"
#include "pg_fixture.h"

namespace rowsmith::test {
namespace {

// The test server asks the role rs_login for its password "rs-secret"; everyone else is trusted.
TEST_F(PgDriverTest, LoginAsksTheHandlerWhenThePasswordIsMissing) {
    static const struct {
        const char* what;
        std::vector<std::string> answers;  // one per question; "" is Cancel
        int questions;
        const char* error;  // empty when the connection opens
    } cases[] = {
        {"right password", {"rs-secret"}, 1, ""},
        {"wrong, then right", {"nope", "rs-secret"}, 2, ""},
        {"cancel", {""}, 1, "Cannot connect to database 'PgTest'"},
        {"wrong three times", {"a", "b", "c", "d"}, 3, "password authentication failed"},
    };
    alias_.user = "rs_login";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int questions = 0;
        LoginHandler login = [&](const LoginPrompt& prompt, std::string& user,
                                 std::string& password) {
            EXPECT_EQ(prompt.alias, "PgTest");
            // The server's words come along; a refusal only after a password was given.
            EXPECT_FALSE(prompt.reason.empty());
            EXPECT_EQ(prompt.refused, questions > 0);
            EXPECT_EQ(user, "rs_login");
            const std::string& answer = c.answers.at(static_cast<std::size_t>(questions++));
            password = answer;
            return !answer.empty();
        };
        std::string error;
        try {
            auto conn = ConnectPostgres(alias_, login);
            EXPECT_TRUE(conn->ListTables(false).empty());
        } catch (const EDatabaseError& e) {
            error = e.what();
        }
        EXPECT_EQ(questions, c.questions);
        if (*c.error == '\0') {
            EXPECT_EQ(error, "");
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
        }
    }
}

TEST_F(PgDriverTest, PasswordFromTheAliasIsNotAsked) {
    alias_.user = "rs_login";
    alias_.password = "rs-secret";
    bool asked = false;
    ConnectPostgres(alias_, [&](const LoginPrompt&, std::string&, std::string&) {
        asked = true;
        return false;
    });
    EXPECT_FALSE(asked);
    alias_.password = "wrong";
    EXPECT_THROW(ConnectPostgres(alias_, nullptr), EDBEngineError);
}

TEST_F(PgDriverTest, UnknownDatabaseIsAnEngineError) {
    alias_.database = "no_such_database";
    try {
        ConnectPostgres(alias_, nullptr);
        FAIL() << "connected";
    } catch (const EDBEngineError& error) {
        EXPECT_NE(std::string(error.what()).find("\"no_such_database\" does not exist"),
                  std::string::npos)
            << error.what();
    }
}

// Names with quotes, blanks and capitals pass through as they are, in tables, columns and the
// schema; values never become SQL.
TEST_F(PgDriverTest, IdentifiersWithQuotesAndBlanks) {
    db_->Execute(
        "CREATE SCHEMA \"my \"\"odd\"\" schema\";"
        "CREATE TABLE \"my \"\"odd\"\" schema\".\"Or\"\"ders; DROP\" "
        "(\"Cust No\" integer PRIMARY KEY, \"it's \"\"name\"\"\" varchar(30));"
        "CREATE TABLE \"my \"\"odd\"\" schema\".\"Plain\" (x integer);"
        "CREATE VIEW \"my \"\"odd\"\" schema\".\"a view\" AS SELECT 1");
    alias_.schema = "my \"odd\" schema";
    EXPECT_EQ(Conn().ListTables(true), (std::vector<std::string>{"Or\"ders; DROP", "Plain"}));
    auto table = Open("Or\"ders; DROP");
    EXPECT_EQ(table->Columns()[1].name, "it's \"name\"");
    const std::string nasty = "'); DROP TABLE \"Plain\"; --";
    table->Insert({std::int64_t{1}, nasty}, {true, true});
    Conn().BeginFillRun();
    table->Insert({std::int64_t{2}, nasty}, {true, true});
    Conn().EndFillRun();
    const std::vector<Record> records = ReadAll(*table);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].values[1], FieldValue(nasty));
    EXPECT_EQ(Conn().ListTables(false).size(), 2u);
    EXPECT_THROW(Open("orders"), EDBEngineError);
}

}  // namespace
}  // namespace rowsmith::test
