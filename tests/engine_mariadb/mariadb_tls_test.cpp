// Connections over TLS to the MariaDB test server, whose certificate is for the name "localhost",
// signed by the test's own authority (tests/support/make-test-tls). On 127.0.0.1 the user rs_tls
// is let in over TLS only; "localhost" reaches the server's socket, where TLS works as well.
#include <sys/stat.h>

#include <string>

#include "mariadb_fixture.h"
#include "scoped_env.h"
#include "temp_dir.h"

namespace rowsmith::test {
namespace {

class MariaTlsTest : public MariaDriverTest {
protected:
    void SetUp() override {
        MariaDriverTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        tls_ = std::getenv("ROWSMITH_TEST_MYTLS");
        port_ = std::getenv("ROWSMITH_TEST_MYPORT");
        // A record written through a connection notes that connection's cipher.
        db_->Execute("CREATE TABLE tls_state (id INT PRIMARY KEY, cipher VARCHAR(100))");
        db_->Execute(
            "CREATE TRIGGER note_cipher BEFORE INSERT ON tls_state FOR EACH ROW "
            "SET NEW.cipher = (SELECT VARIABLE_VALUE FROM information_schema.SESSION_STATUS "
            "WHERE VARIABLE_NAME = 'SSL_CIPHER')");
    }

    // Over TCP as rs_tls, whom the server lets in over TLS only.
    void OverTcp() {
        alias_.host = "127.0.0.1";
        alias_.port = port_;
        alias_.socket.clear();
        alias_.user = "rs_tls";
    }

    // Why the connection was refused, or "" when it opened. A refused login, which would ask
    // for a password, says "Cannot connect to database 'MariaTest'".
    std::string Refusal() {
        try {
            ConnectMariaDb(alias_, nullptr);
            return "";
        } catch (const EDatabaseError& error) {
            return error.what();
        }
    }

    // The cipher of a fresh connection, as the server tells the connection itself; "" for none.
    std::string Cipher() {
        conn_.reset();
        const int id = ++written_;
        Open("tls_state")->Insert({std::int64_t{id}, std::string()}, {true, false});
        return db_->QueryValue("SELECT cipher FROM tls_state WHERE id = " + std::to_string(id));
    }

    int written_ = 0;

    std::string tls_;
    std::string port_;
};

TEST_F(MariaTlsTest, VerifyFullConnectsOnlyToTheServerItsAuthorityNamed) {
    static const struct {
        const char* what;
        bool tcp;
        const char* ca;      // in the test's TLS folder
        const char* reason;  // Connector/C's, "" when it connects
    } cases[] = {
        {"right authority and name", false, "ca.crt", ""},
        {"another authority", false, "other-ca.crt",
         "TLS/SSL error: self-signed certificate in certificate chain"},
        {"name mismatch", true, "ca.crt", "Validation of SSL server certificate failed"},
    };
    alias_.host = "localhost";
    alias_.sslMode = "verify-full";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.tcp) {
            OverTcp();
        }
        alias_.sslCa = tls_ + "/" + c.ca;
        const std::string refusal = Refusal();
        if (*c.reason == '\0') {
            EXPECT_EQ(refusal, "");
        } else {
            EXPECT_NE(refusal.find(c.reason), std::string::npos) << refusal;
        }
    }
}

TEST_F(MariaTlsTest, ConnectionIsEncryptedAsTheModeAsks) {
    static const struct {
        const char* mode;
        bool encrypted;
    } cases[] = {
        {"", false},
        {"disable", false},
        {"prefer", true},
        {"require", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        alias_.sslMode = c.mode;
        const std::string cipher = Cipher();
        EXPECT_EQ(cipher.rfind("TLS_", 0) == 0, c.encrypted) << cipher;
    }
    // require without an authority, over TCP, where the server lets rs_tls in encrypted only.
    OverTcp();
    alias_.sslMode = "require";
    EXPECT_EQ(Cipher().rfind("TLS_", 0), 0u);
    alias_.sslMode = "disable";
    EXPECT_EQ(Refusal(), "Cannot connect to database 'MariaTest'");
}

TEST_F(MariaTlsTest, MissingAuthorityFileIsRefused) {
    alias_.host = "localhost";
    alias_.sslMode = "verify-full";
    alias_.sslCa = tls_ + "/no-such-ca.crt";
    EXPECT_EQ(Refusal(), "SSL CA of alias 'MariaTest' cannot be read: " + tls_ +
                             "/no-such-ca.crt: No such file or directory");
    // Without one, the system's authorities do not know the test's.
    alias_.sslCa.clear();
    const std::string refusal = Refusal();
    EXPECT_NE(refusal.find("certificate"), std::string::npos) << refusal;
}

TEST_F(MariaTlsTest, ClientCertificateLogsIn) {
    OverTcp();
    alias_.user = "rs_cert";
    alias_.sslMode = "require";
    EXPECT_EQ(Refusal(), "Cannot connect to database 'MariaTest'");
    alias_.sslCert = tls_ + "/client.crt";
    alias_.sslKey = tls_ + "/client.key";
    EXPECT_EQ(Refusal(), "");
}

// An option group of the user's my.cnf fills what the alias leaves out.
TEST_F(MariaTlsTest, OptionGroupFillsWhatTheAliasLeavesOut) {
    TempDir home;
    WriteFile(home.File(".my.cnf"),
              "[staging]\nsocket=" + alias_.socket + "\nssl-ca=" + tls_ + "/ca.crt\n");
    chmod(home.File(".my.cnf").c_str(), 0600);
    ScopedEnv homeEnv("HOME", home.Path());
    alias_.socket.clear();
    alias_.host = "localhost";
    alias_.sslMode = "verify-full";
    alias_.optionGroup = "staging";
    EXPECT_EQ(Cipher().rfind("TLS_", 0), 0u);
}

}  // namespace
}  // namespace rowsmith::test
