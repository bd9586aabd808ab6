#include "engine/database_session.h"

#include <algorithm>

#include "engine/connection_factory.h"
#include "engine/database_errors.h"
#include "text/text_helpers.h"

namespace rowsmith {

DatabaseSession& DatabaseSession::Instance() {
    static DatabaseSession session;
    return session;
}

void DatabaseSession::ListAliases(std::vector<std::string>& list) {
    list.clear();
    for (const auto& alias : Aliases()) {
        list.push_back(alias.name);
    }
    std::stable_sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
        return CompareText(a, b) < 0;
    });
}

void DatabaseSession::ListTables(const std::string& alias, bool withExtensions,
                                 std::vector<std::string>& list) {
    list = Connect(alias).ListTables(withExtensions);
}

void DatabaseSession::SetLoginHandler(LoginHandler handler) {
    loginHandler_ = std::move(handler);
}

void DatabaseSession::SetWarningHandler(AliasWarningHandler handler) {
    warningHandler_ = std::move(handler);
}

void DatabaseSession::DefineAlias(AliasConfig alias) {
    std::erase_if(definedAliases_,
                  [&](const AliasConfig& defined) { return SameText(defined.name, alias.name); });
    definedAliases_.push_back(std::move(alias));
    Reset();
}

void DatabaseSession::SetConfigFile(const std::string& path) {
    configFile_ = path;
    Reset();
}

Connection& DatabaseSession::Connect(const std::string& alias) {
    const AliasConfig& config = FindAlias(alias);
    auto found = connections_.find(config.name);
    if (found == connections_.end()) {
        for (const std::string& warning : config.warnings) {
            if (warningHandler_ && warned_.insert(warning).second) {
                warningHandler_(warning);
            }
        }
        found = connections_.emplace(config.name, OpenConnection(config, loginHandler_)).first;
    }
    return *found->second;
}

void DatabaseSession::Reset() {
    connections_.clear();
    warned_.clear();
    aliases_.clear();
    aliasesRead_ = false;
}

const AliasConfig& DatabaseSession::FindAlias(const std::string& alias) {
    // Alias names are compared without regard to case, as the configuration's sections are.
    // Defined aliases come first: they stand in for the file's.
    for (const auto& config : definedAliases_) {
        if (SameText(config.name, alias)) {
            return config;
        }
    }
    for (const auto& config : Aliases()) {
        if (SameText(config.name, alias)) {
            return config;
        }
    }
    throw EDBEngineError("Unknown database alias '" + alias + "'");
}

const std::vector<AliasConfig>& DatabaseSession::Aliases() {
    if (!aliasesRead_) {
        aliases_ = ReadAliasConfigs(configFile_.empty() ? FindAliasConfigFile() : configFile_);
        aliasesRead_ = true;
    }
    return aliases_;
}

}  // namespace rowsmith
