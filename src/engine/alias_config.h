// AliasConfig: what the alias configuration says about one alias, for whichever driver it names.
// The configuration is an INI file with one section per alias; the first of these files that
// exists is read: rowsmith-aliases.ini in the current folder, $XDG_CONFIG_HOME/rowsmith/aliases.ini
// (~/.config when unset), /etc/rowsmith/aliases.ini. The alias Demo is added unless the file
// defines it: a SQLite database under $XDG_DATA_HOME/rowsmith, created on first use.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rowsmith {

struct AliasConfig {
    // The alias as the configuration spells it (the section name).
    std::string name;
    // The DRIVER key in upper case: "SQLITE", "POSTGRESQL", "MARIADB" or "MYSQL".
    std::string driver;
    // SQLITE: PATH, resolved against the configuration file's folder when relative.
    std::string path;
    // POSTGRESQL: HOST, PORT, DATABASE NAME, USER NAME, PASSWORD (absent: ask), SCHEMA.
    std::string host;
    std::string port;
    std::string database;
    std::string user;
    std::optional<std::string> password;
    std::string schema = "public";
    // MARIADB: the same keys but SCHEMA, and SOCKET, the server's Unix socket.
    std::string socket;
    // POSTGRESQL: SERVICE, an entry of libpq's pg_service.conf for the keys the alias leaves out.
    std::string service;
    // MARIADB: OPTION GROUP, a group of the my.cnf files that Connector/C reads besides
    // [client] and [rowsmith].
    std::string optionGroup;
    // Both servers: SSL MODE as written (see SslMode), and the TLS files, resolved against the
    // configuration file's folder when relative. SSL ROOT CERT is PostgreSQL's, SSL CA MariaDB's.
    std::string sslMode;
    std::string sslRootCert;
    std::string sslCa;
    std::string sslCert;
    std::string sslKey;
    std::string sslCrl;
    // LOCK TIMEOUT as written (every driver): how many seconds a statement waits for a lock that
    // another connection holds. Empty: the default; see LockTimeoutMs.
    std::string lockTimeout;
    // SQLITE: FOREIGN KEYS as written, ON or OFF; empty: on. See ForeignKeysEnforced.
    std::string foreignKeys;
    // The folder of the configuration file the alias came from; empty for the built-in Demo.
    std::string configFolder;
    // The built-in Demo alias, whose database is created on first use.
    bool demo = false;
    // What the user should hear when the alias is used: keys its driver does not read, a
    // password that others may read.
    std::vector<std::string> warnings;
};

// The configuration file that the lookup finds, or the empty text when there is none.
std::string FindAliasConfigFile();

// The aliases of the file in file order, then Demo unless the file defines that name (letter
// case aside). An empty path gives Demo alone; a file that cannot be read (missing, a folder, no
// permission) raises EFOpenError rather than passing for a configuration without aliases. Keys
// that an alias's driver does not read, and a PASSWORD in a file that others may read, become
// the alias's warnings.
std::vector<AliasConfig> ReadAliasConfigs(const std::string& configFile);

constexpr int kDefaultLockTimeoutMs = 5000;

// The alias's LOCK TIMEOUT in milliseconds: kDefaultLockTimeoutMs when not given, 0 for waiting as
// long as it takes. Raises EDBEngineError naming the alias for anything but a whole number of
// seconds from 0 to 2147483.
int LockTimeoutMs(const AliasConfig& alias);

// Whether SQLite refuses writes that break a reference (FOREIGN KEYS, on when not given), as the
// servers always do. Raises EDBEngineError naming the alias for anything but ON or OFF.
bool ForeignKeysEnforced(const AliasConfig& alias);

// An XDG base folder: the variable when it is set to an absolute path, else ~/ + fallback
// (XdgFolder("XDG_DATA_HOME", ".local/share")).
std::string XdgFolder(const char* variable, const char* fallback);

// The alias's SSL MODE in lower case: "disable", "allow", "prefer", "require", "verify-ca" or
// "verify-full"; empty when not given. Raises EDBEngineError naming the alias for any other word.
std::string SslMode(const AliasConfig& alias);

// Raises EDBEngineError naming the key and the alias when a TLS file the alias names for its
// driver cannot be read, so that a mistyped path stops before anything is sent to a server.
void CheckAliasFiles(const AliasConfig& alias);

// The built-in alias Demo: $XDG_DATA_HOME/rowsmith/demo.sqlite (~/.local/share when unset).
AliasConfig DemoAliasConfig();

}  // namespace rowsmith
