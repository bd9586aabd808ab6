#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "engine/alias_config.h"
#include "engine/alias_keys.h"
#include "engine/database_errors.h"
#include "engine/database_session.h"
#include "temp_dir.h"

namespace rowsmith::test {
namespace {

class AliasKeysTest : public ::testing::Test {
protected:
    // The aliases of a configuration file holding `contents`, made with `mode`.
    std::vector<AliasConfig> Read(const std::string& contents, mode_t mode = 0600) {
        WriteFile(File(), contents);
        chmod(File().c_str(), mode);
        return ReadAliasConfigs(File());
    }
    std::string File() const { return dir_.File("aliases.ini"); }

    TempDir dir_;
};

TEST_F(AliasKeysTest, KeysNoDriverReadsAreWarnedWithTheNearestKey) {
    static const struct {
        const char* driver;
        const char* key;
        const char* warning;  // after "Alias 'Staging': the key "; "" when the key is read
    } cases[] = {
        {"POSTGRESQL", "SSLMODE", "SSLMODE is unknown and is ignored; did you mean SSL MODE?"},
        {"POSTGRESQL", "sslrootcert",
         "sslrootcert is unknown and is ignored; did you mean SSL ROOT CERT?"},
        {"POSTGRESQL", "SSL_KEY", "SSL_KEY is unknown and is ignored; did you mean SSL KEY?"},
        {"POSTGRESQL", "DATABASE",
         "DATABASE is unknown and is ignored; did you mean DATABASE NAME?"},
        {"MARIADB", "OPTIONGROUP",
         "OPTIONGROUP is unknown and is ignored; did you mean OPTION GROUP?"},
        {"SQLITE", "FOREIGN KEY",
         "FOREIGN KEY is unknown and is ignored; did you mean FOREIGN KEYS?"},
        {"POSTGRESQL", "SSL CA",
         "SSL CA is not read by a POSTGRESQL alias and is ignored; did you mean SSL ROOT CERT?"},
        {"MARIADB", "SSL ROOT CERT",
         "SSL ROOT CERT is not read by a MARIADB alias and is ignored; did you mean SSL CA?"},
        {"SQLITE", "HOST", "HOST is not read by a SQLITE alias and is ignored"},
        {"MYSQL", "schema", "schema is not read by a MYSQL alias and is ignored"},
        {"POSTGRESQL", " ssl mode ", ""},
        {"POSTGRESQL", "Service", ""},
        {"MARIADB", "ssl crl", ""},
        {"SQLITE", "lock timeout", ""},
        {"NOSUCH", "SSL CA", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.driver) + " " + c.key);
        const auto aliases =
            Read("[Staging]\nDRIVER=" + std::string(c.driver) + "\n" + c.key + "=x\n");
        const std::vector<std::string>& warnings = aliases.front().warnings;
        if (*c.warning == '\0') {
            EXPECT_TRUE(warnings.empty()) << warnings.front();
            continue;
        }
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings.front(), "Alias 'Staging': the key " + std::string(c.warning));
    }
}

TEST_F(AliasKeysTest, PasswordThatOthersMayReadIsWarned) {
    static const struct {
        mode_t mode;
        const char* section;
        bool warned;
    } cases[] = {
        {0644, "PASSWORD=rs-secret\n", true},  {0640, "PASSWORD=rs-secret\n", true},
        {0604, "PASSWORD=\n", true},           {0600, "PASSWORD=rs-secret\n", false},
        {0400, "PASSWORD=rs-secret\n", false}, {0644, "USER NAME=tester\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + " " + c.section);
        const auto aliases = Read("[Sales]\nDRIVER=POSTGRESQL\n" + std::string(c.section), c.mode);
        const std::vector<std::string>& warnings = aliases.front().warnings;
        ASSERT_EQ(warnings.size(), c.warned ? 1u : 0u);
        if (c.warned) {
            EXPECT_EQ(warnings.front(), "The alias file " + File() +
                                            " holds a PASSWORD that others may read; chmod 600 " +
                                            File() + " keeps it to you");
            EXPECT_EQ(warnings.front().find("rs-secret"), std::string::npos);
        }
    }
}

TEST_F(AliasKeysTest, TlsFilesAreTakenFromTheFileFolderAndMustBeReadable) {
    WriteFile(dir_.File("ca.crt"), "invented\n");
    auto aliases = Read(
        "[Sales]\nDRIVER=POSTGRESQL\nSSL MODE=Verify-Full\nSSL ROOT CERT=ca.crt\n"
        "SSL CERT=/nowhere/client.crt\nSSL CA=also-missing.crt\n");
    AliasConfig& alias = aliases.front();
    EXPECT_EQ(alias.sslRootCert, dir_.File("ca.crt"));
    EXPECT_EQ(alias.sslCa, dir_.File("also-missing.crt"));
    EXPECT_EQ(SslMode(alias), "verify-full");
    try {
        CheckAliasFiles(alias);
        FAIL() << "a missing client certificate passed";
    } catch (const EDBEngineError& error) {
        EXPECT_STREQ(error.what(),
                     "SSL CERT of alias 'Sales' cannot be read: /nowhere/client.crt: No such "
                     "file or directory");
    }
    // SSL CA is MariaDB's key: a PostgreSQL alias does not read it, missing or not.
    alias.sslCert.clear();
    EXPECT_NO_THROW(CheckAliasFiles(alias));
    alias.sslRootCert = dir_.Path();
    try {
        CheckAliasFiles(alias);
        FAIL() << "a folder passed for a certificate";
    } catch (const EDBEngineError& error) {
        EXPECT_EQ(std::string(error.what()), "SSL ROOT CERT of alias 'Sales' cannot be read: " +
                                                 dir_.Path() + ": Is a directory");
    }
    alias.driver = "MARIADB";
    EXPECT_THROW(CheckAliasFiles(alias), EDBEngineError);
}

TEST_F(AliasKeysTest, SslModeIsOneOfTheServersWords) {
    AliasConfig alias;
    alias.name = "Sales";
    for (const char* mode : {"disable", "allow", "prefer", "require", "verify-ca", "verify-full"}) {
        alias.sslMode = mode;
        EXPECT_EQ(SslMode(alias), mode);
    }
    alias.sslMode = "";
    EXPECT_EQ(SslMode(alias), "");
    alias.sslMode = "verify";
    try {
        SslMode(alias);
        FAIL() << "verify passed";
    } catch (const EDBEngineError& error) {
        EXPECT_STREQ(error.what(),
                     "SSL MODE of alias 'Sales' must be disable, allow, prefer, require, "
                     "verify-ca or verify-full, not 'verify'");
    }
}

// The session tells each warning once, when the alias is first used, before it connects.
TEST_F(AliasKeysTest, SessionTellsTheWarningsWhenTheAliasIsUsed) {
    WriteFile(dir_.File("db.sqlite"), "");
    Read(
        "[Local]\nDRIVER=SQLITE\nPATH=db.sqlite\nHOST=somewhere\n"
        "[Broken]\nDRIVER=SQLITE\nPATH=missing/db.sqlite\nPATHS=x\n");
    DatabaseSession& session = DatabaseSession::Instance();
    session.SetConfigFile(File());
    std::vector<std::string> told;
    session.SetWarningHandler([&told](const std::string& warning) { told.push_back(warning); });
    std::vector<std::string> list;
    session.ListAliases(list);
    EXPECT_TRUE(told.empty());
    session.Connect("local");
    session.Connect("Local");
    EXPECT_EQ(told,
              (std::vector<std::string>{
                  "Alias 'Local': the key HOST is not read by a SQLITE alias and is ignored"}));
    EXPECT_THROW(session.Connect("Broken"), EDBEngineError);
    EXPECT_EQ(told.size(), 2u);
    EXPECT_EQ(told.back(),
              "Alias 'Broken': the key PATHS is unknown and is ignored; did you mean PATH?");
    session.SetWarningHandler(nullptr);
    session.SetConfigFile("");
}

}  // namespace
}  // namespace rowsmith::test
