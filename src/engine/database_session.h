// DatabaseSession: the one session of the process, started on first use. It reads the alias
// configuration and keeps one connection per alias, opened on first use. It never asks the user
// anything itself: a login prompt is a handler that the window or the command line installs.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/alias_config.h"
#include "engine/driver.h"
#include "engine/login_handler.h"

namespace rowsmith {

// Told each warning of an alias (AliasConfig::warnings) once, when the alias is first used.
using AliasWarningHandler = std::function<void(const std::string& warning)>;

class DatabaseSession {
public:
    static DatabaseSession& Instance();

    // The alias names, sorted without regard to case.
    void ListAliases(std::vector<std::string>& list);
    // The alias's tables (no system tables) in the driver's order; with `withExtensions` a table
    // stored in a file of its own carries the file's extension.
    void ListTables(const std::string& alias, bool withExtensions, std::vector<std::string>& list);

    void SetLoginHandler(LoginHandler handler);
    void SetWarningHandler(AliasWarningHandler handler);

    // Replaces the configuration lookup with this file (rowsmith-fill --aliases, tests).
    // Empty restores the lookup. Closes every open connection.
    void SetConfigFile(const std::string& path);

    // Adds an alias that no configuration file holds (rowsmith-fill --db), beside the file's;
    // it replaces one of the same name and stays through Reset and SetConfigFile.
    void DefineAlias(AliasConfig alias);

    // The alias's connection, opened on first use; its warnings go to the warning handler first.
    // Throws EDBEngineError for an unknown alias or a database that cannot be reached,
    // EDatabaseError when the login is cancelled.
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
    std::vector<AliasConfig> definedAliases_;
    LoginHandler loginHandler_;
    AliasWarningHandler warningHandler_;
    // Warnings told already: several aliases of one file share the one about its permissions.
    std::set<std::string> warned_;
    // Keyed by the alias as the configuration spells it.
    std::map<std::string, std::unique_ptr<Connection>> connections_;
};

}  // namespace rowsmith
