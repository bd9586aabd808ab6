// How rowsmith-fill reaches a database: a connection URL instead of an alias (--db, --db-env),
// over TLS where the servers offer it, and the warnings about alias files.
#include <sys/stat.h>

#include <string>

#include "cli_fixture.h"
#include "scoped_env.h"

namespace rowsmith::test {
namespace {

class ConnectionTest : public CliFixture {
protected:
    // A scenario filling table t (n INTEGER) with 3 records, on an alias that does not exist.
    std::string Scenario() {
        db.Execute("CREATE TABLE t (n INTEGER)");
        const std::string path = db.Folder().File("url.scn");
        WriteFile(path,
                  "[Main]\r\nAliasName=Nowhere\r\nTables=t\r\n\r\n[Table t]\r\nFieldMethod=0\r\n"
                  "RecCount=3\r\nFields=n\r\n\r\n[Field t.n]\r\nFillMethod=3\r\n"
                  "FillValue=1 - 9\r\n\r\n");
        return path;
    }

    // The test database as a URL; on the servers over TLS with the certificate checked.
    // `userInfo` is what comes before "@" ("" for the engine's usual user).
    std::string Url(const std::string& userInfo = "", const char* authority = "ca.crt") {
        switch (GetParam()) {
            case TestEngine::PostgreSQL:
                return "postgresql://" + (userInfo.empty() ? "postgres" : userInfo) +
                       "@localhost:" + std::getenv("ROWSMITH_TEST_PGPORT") + "/" +
                       db.QueryValue("SELECT current_database()") +
                       "?sslmode=verify-full&sslrootcert=" + std::getenv("ROWSMITH_TEST_PGTLS") +
                       "/" + authority;
            case TestEngine::MariaDB:
                return "mariadb://" + (userInfo.empty() ? "root" : userInfo) + "@localhost/" +
                       db.QueryValue("SELECT DATABASE()") +
                       "?socket=" + std::getenv("ROWSMITH_TEST_MYSOCKET") +
                       "&sslmode=verify-full&sslca=" + std::getenv("ROWSMITH_TEST_MYTLS") + "/" +
                       authority;
            case TestEngine::SQLite:
                break;
        }
        return "sqlite://" + db.Folder().File("test.sqlite");
    }
};

TEST_P(ConnectionTest, UrlStandsInForTheScenariosAlias) {
    const std::string scenario = "'" + Scenario() + "'";
    RunResult result = Run("--db '" + Url() + "' " + scenario);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(db.QueryValue("SELECT count(*) FROM t"), "3");
    {
        ScopedEnv url("ROWSMITH_TEST_URL", Url());
        db.Execute("DELETE FROM t");
        result = Run("--db-env ROWSMITH_TEST_URL --records 2 " + scenario);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(db.QueryValue("SELECT count(*) FROM t"), "2");
    }
    result = Run("--db-env ROWSMITH_TEST_URL " + scenario);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.LastErrorLine(),
              "rowsmith-fill: --db-env ROWSMITH_TEST_URL: the variable is not set.");
    result = Run("--db 'https://example.org/db' " + scenario);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.LastErrorLine(),
              "rowsmith-fill: A connection URL begins with postgresql://, mariadb://, mysql:// or "
              "sqlite://.");
    for (const char* wrong :
         {"--db", "--db '' x.scn", "--db-env '' x.scn", "--db u --alias A x.scn",
          "--db u --db-env V x.scn", "--list-aliases --db u", "--list-tables Test --db-env V"}) {
        SCOPED_TRACE(wrong);
        EXPECT_EQ(Run(wrong).status, 2);
    }
}

TEST_P(ConnectionTest, ServerOfAnotherAuthorityIsRefused) {
    if (GetParam() == TestEngine::SQLite) {
        GTEST_SKIP() << "SQLite has no server to trust";
    }
    const RunResult result = Run("--db '" + Url("", "other-ca.crt") + "' '" + Scenario() + "'");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.LastErrorLine().find(GetParam() == TestEngine::PostgreSQL
                                              ? "certificate verify failed"
                                              : "self-signed certificate in certificate chain"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(db.QueryValue("SELECT count(*) FROM t"), "0");
}

TEST_P(ConnectionTest, PasswordOnTheCommandLineIsWarnedAbout) {
    if (GetParam() == TestEngine::SQLite) {
        GTEST_SKIP() << "a SQLite URL holds no password";
    }
    const std::string scenario = "'" + Scenario() + "'";
    if (GetParam() == TestEngine::PostgreSQL) {
        db.Execute("GRANT ALL ON t TO rs_login");
    }
    const std::string url = Url("rs_login:rs-secret");
    RunResult result = Run("--db '" + url + "' " + scenario);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("rowsmith-fill: warning: the password in --db shows in the process "
                              "list; give the URL in an environment variable with --db-env VAR "
                              "instead\n"),
              0u)
        << result.err;
    ScopedEnv env("ROWSMITH_TEST_URL", url);
    result = Run("--db-env ROWSMITH_TEST_URL " + scenario);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("warning"), std::string::npos) << result.err;
    // A refused login names the connection without its password.
    ScopedEnv wrong("ROWSMITH_TEST_URL", Url("rs_login:not-it"));
    result = Run("--db-env ROWSMITH_TEST_URL " + scenario);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.find("not-it"), std::string::npos) << result.err;
    EXPECT_EQ(db.QueryValue("SELECT count(*) FROM t"), "3");
}

TEST_P(ConnectionTest, AliasFileWarningsGoToStandardError) {
    db.AddAliasKey("LOCKTIMEOUT=5");
    db.AddAliasKey("PASSWORD=invented-secret");
    chmod(db.ConfigFile().c_str(), 0644);
    RunResult result = Run("--list-aliases " + Aliases());
    EXPECT_EQ(result.out, "Demo\nTest\n");
    EXPECT_EQ(result.err, "") << "warnings wait for the alias's use";

    result = Run("--list-tables Test " + Aliases());
    EXPECT_NE(result.err.find("rowsmith-fill: warning: Alias 'Test': the key LOCKTIMEOUT is "
                              "unknown and is ignored; did you mean LOCK TIMEOUT?\n"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("rowsmith-fill: warning: The alias file " + db.ConfigFile() +
                              " holds a PASSWORD that others may read; chmod 600 " +
                              db.ConfigFile() + " keeps it to you\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ((result.out + result.err).find("invented-secret"), std::string::npos);

    chmod(db.ConfigFile().c_str(), 0600);
    result = Run("--quiet --list-tables Test " + Aliases());
    EXPECT_EQ(result.err.find("warning"), std::string::npos) << result.err;
    result = Run("--list-tables Test " + Aliases());
    EXPECT_EQ(result.err.find("holds a PASSWORD"), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Engines, ConnectionTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
