// Connections over TLS to the test server's TCP port, which takes TLS only, with a certificate
// for the name "localhost" signed by the test's own authority (tests/support/make-test-tls).
#include <sys/stat.h>

#include <string>

#include "engine/database_errors.h"
#include "pg_fixture.h"
#include "scoped_env.h"
#include "temp_dir.h"

namespace rowsmith::test {
namespace {

class PgTlsTest : public PgDriverTest {
protected:
    void SetUp() override {
        PgDriverTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        tls_ = std::getenv("ROWSMITH_TEST_PGTLS");
        alias_.host = "localhost";
    }

    // Why the connection was refused, or "" when it opened.
    std::string Refusal() {
        try {
            ConnectPostgres(alias_, nullptr);
            return "";
        } catch (const EDBEngineError& error) {
            return error.what();
        }
    }

    // The cipher of the test database's TCP connection as the server sees it; "" for none.
    std::string ServerSideCipher() {
        return db_->QueryValue(
            "SELECT coalesce(max(s.cipher), '') FROM pg_stat_ssl s JOIN pg_stat_activity a "
            "USING (pid) WHERE a.datname = current_database() AND a.client_addr IS NOT NULL "
            "AND s.ssl");
    }

    std::string tls_;
};

TEST_F(PgTlsTest, VerifyFullConnectsOnlyToTheServerItsAuthorityNamed) {
    static const struct {
        const char* what;
        const char* host;
        const char* rootCert;  // in the test's TLS folder
        const char* reason;    // libpq's, "" when it connects
    } cases[] = {
        {"right authority and name", "localhost", "ca.crt", ""},
        {"another authority", "localhost", "other-ca.crt", "certificate verify failed"},
        {"name mismatch", "127.0.0.1", "ca.crt", "does not match host name \"127.0.0.1\""},
    };
    alias_.sslMode = "verify-full";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        alias_.host = c.host;
        alias_.sslRootCert = tls_ + "/" + c.rootCert;
        const std::string refusal = Refusal();
        if (*c.reason == '\0') {
            EXPECT_EQ(refusal, "");
        } else {
            EXPECT_NE(refusal.find(c.reason), std::string::npos) << refusal;
        }
    }
    // verify-ca trusts the authority and leaves the name alone.
    alias_.sslMode = "verify-ca";
    EXPECT_EQ(Refusal(), "");
    alias_.sslRootCert = tls_ + "/other-ca.crt";
    EXPECT_NE(Refusal().find("certificate verify failed"), std::string::npos);
}

TEST_F(PgTlsTest, EncryptedConnectionIsSeenByTheServer) {
    alias_.sslMode = "verify-full";
    alias_.sslRootCert = tls_ + "/ca.crt";
    auto verified = ConnectPostgres(alias_, nullptr);
    EXPECT_EQ(ServerSideCipher().rfind("TLS_", 0), 0u);
    verified.reset();
    // require encrypts without checking the certificate, so no authority is needed.
    alias_.sslMode = "require";
    alias_.sslRootCert.clear();
    alias_.host = "127.0.0.1";
    auto required = ConnectPostgres(alias_, nullptr);
    EXPECT_EQ(ServerSideCipher().rfind("TLS_", 0), 0u);
    EXPECT_TRUE(required->ListTables(false).empty());
}

TEST_F(PgTlsTest, MissingAuthorityFileIsRefused) {
    alias_.sslMode = "verify-full";
    // Named by the alias: refused before connecting, naming the key.
    alias_.sslRootCert = tls_ + "/no-such-ca.crt";
    EXPECT_EQ(Refusal(), "SSL ROOT CERT of alias 'PgTest' cannot be read: " + tls_ +
                             "/no-such-ca.crt: No such file or directory");
    // Not named: libpq looks for its own default file and says why it cannot verify.
    alias_.sslRootCert.clear();
    TempDir home;
    ScopedEnv noRootCert("HOME", home.Path());
    const std::string refusal = Refusal();
    EXPECT_NE(refusal.find("root certificate file"), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("does not exist"), std::string::npos) << refusal;
}

TEST_F(PgTlsTest, ClientCertificateLogsIn) {
    alias_.user = "rs_cert";
    alias_.sslMode = "verify-full";
    alias_.sslRootCert = tls_ + "/ca.crt";
    EXPECT_NE(Refusal().find("certificate"), std::string::npos);
    alias_.sslCert = tls_ + "/client.crt";
    alias_.sslKey = tls_ + "/client.key";
    EXPECT_EQ(Refusal(), "");
    alias_.sslKey = tls_ + "/client.key.missing";
    EXPECT_EQ(Refusal().rfind("SSL KEY of alias 'PgTest' cannot be read: ", 0), 0u);
}

// What the alias leaves out comes from libpq's own sources.
TEST_F(PgTlsTest, LibpqSourcesFillWhatTheAliasLeavesOut) {
    const std::string port = alias_.port;
    alias_.host.clear();
    alias_.port.clear();
    alias_.user = "rs_login";
    {
        // PG* variables, and the password file for the password.
        TempDir home;
        WriteFile(home.File(".pgpass"), "*:*:*:rs_login:rs-secret\n");
        chmod(home.File(".pgpass").c_str(), 0600);
        ScopedEnv homeEnv("HOME", home.Path());
        ScopedEnv hostEnv("PGHOST", "localhost");
        ScopedEnv portEnv("PGPORT", port);
        ScopedEnv modeEnv("PGSSLMODE", "require");
        auto conn = ConnectPostgres(alias_, nullptr);
        EXPECT_EQ(ServerSideCipher().rfind("TLS_", 0), 0u);
    }
    {
        // A service of pg_service.conf.
        TempDir services;
        WriteFile(services.File("pg_service.conf"), "[staging]\nhost=localhost\nport=" + port +
                                                        "\nsslmode=verify-full\nsslrootcert=" +
                                                        tls_ + "/ca.crt\npassword=rs-secret\n");
        ScopedEnv serviceFile("PGSERVICEFILE", services.File("pg_service.conf"));
        alias_.service = "staging";
        EXPECT_EQ(Refusal(), "");
        alias_.service = "nowhere";
        EXPECT_NE(Refusal().find("\"nowhere\""), std::string::npos);
    }
}

}  // namespace
}  // namespace rowsmith::test
