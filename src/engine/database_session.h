// DatabaseSession: the one session of the process, started on first use. It reads the alias
// configuration and keeps one connection per alias, opened on first use. It never asks the user
// anything itself: a login prompt is a handler that the window or the command line installs.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/alias_config.h"
#include "engine/driver.h"
#include "engine/login_handler.h"

namespace rowsmith {

class DatabaseSession {
public:
    static DatabaseSession& Instance();

    // The alias names, sorted without regard to case.
    void ListAliases(std::vector<std::string>& list);
    // The alias's tables (no system tables) in the driver's order; with `withExtensions` a table
    // stored in a file of its own carries the file's extension.
    void ListTables(const std::string& alias, bool withExtensions, std::vector<std::string>& list);

    void SetLoginHandler(LoginHandler handler);

    // Replaces the configuration lookup with this file (rowsmith-fill --aliases, tests).
    // Empty restores the lookup. Closes every open connection.
    void SetConfigFile(const std::string& path);

    // The alias's connection, opened on first use. Throws EDBEngineError for an unknown alias or
    // a database that cannot be reached, EDatabaseError when the login is cancelled.
    Connection& Connect(const std::string& alias);

    // Closes every connection; the configuration is read again on next use.
    void Reset();

    // What the configuration says of the alias (letter case aside); throws EDBEngineError for an
    // unknown alias.
    const AliasConfig& FindAlias(const std::string& alias);

private:
    DatabaseSession() = default;
    const std::vector<AliasConfig>& Aliases();

    std::string configFile_;
    // Read on first use and again after Reset.
    std::vector<AliasConfig> aliases_;
    bool aliasesRead_ = false;
    LoginHandler loginHandler_;
    // Keyed by the alias as the configuration spells it.
    std::map<std::string, std::unique_ptr<Connection>> connections_;
};

}  // namespace rowsmith
