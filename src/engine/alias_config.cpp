#include "engine/alias_config.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "engine/database_errors.h"
#include "text/ini_file.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

namespace fs = std::filesystem;

const char kDemoAlias[] = "Demo";

AliasConfig ReadAlias(const IniFile& ini, const std::string& section, const fs::path& folder) {
    AliasConfig alias;
    alias.name = section;
    alias.configFolder = folder.string();
    alias.driver = UpperCase(TrimSpaces(ini.Value(section, "DRIVER")));
    const std::string path = TrimSpaces(ini.Value(section, "PATH"));
    alias.path = path.empty() ? path : (folder / path).lexically_normal().string();
    alias.host = TrimSpaces(ini.Value(section, "HOST"));
    alias.port = TrimSpaces(ini.Value(section, "PORT"));
    alias.socket = TrimSpaces(ini.Value(section, "SOCKET"));
    alias.database = TrimSpaces(ini.Value(section, "DATABASE NAME"));
    alias.user = TrimSpaces(ini.Value(section, "USER NAME"));
    // A password may begin or end with blanks, so it is taken exactly.
    alias.password = ini.Find(section, "PASSWORD");
    alias.lockTimeout = TrimSpaces(ini.Value(section, "LOCK TIMEOUT"));
    alias.foreignKeys = TrimSpaces(ini.Value(section, "FOREIGN KEYS"));
    const std::string schema = TrimSpaces(ini.Value(section, "SCHEMA"));
    if (!schema.empty()) {
        alias.schema = schema;
    }
    return alias;
}

}  // namespace

std::string XdgFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/" + fallback;
}

std::string FindAliasConfigFile() {
    std::error_code ignored;
    const std::string candidates[] = {
        "rowsmith-aliases.ini",
        XdgFolder("XDG_CONFIG_HOME", ".config") + "/rowsmith/aliases.ini",
        "/etc/rowsmith/aliases.ini",
    };
    for (const auto& candidate : candidates) {
        if (fs::is_regular_file(candidate, ignored)) {
            return fs::absolute(candidate, ignored).string();
        }
    }
    return {};
}

std::vector<AliasConfig> ReadAliasConfigs(const std::string& configFile) {
    std::vector<AliasConfig> aliases;
    bool demoDefined = false;
    if (!configFile.empty()) {
        std::error_code ignored;
        const fs::path folder = fs::absolute(configFile, ignored).parent_path();
        const IniFile ini = IniFile::Read(configFile);
        for (const auto& section : ini.Sections()) {
            aliases.push_back(ReadAlias(ini, section, folder));
            demoDefined = demoDefined || SameText(section, kDemoAlias);
        }
    }
    if (!demoDefined) {
        aliases.push_back(DemoAliasConfig());
    }
    return aliases;
}

int LockTimeoutMs(const AliasConfig& alias) {
    // The wait is kept in milliseconds in an int by both SQLite and PostgreSQL.
    constexpr long kMaxSeconds = std::numeric_limits<int>::max() / 1000;
    const std::string& text = alias.lockTimeout;
    if (text.empty()) {
        return kDefaultLockTimeoutMs;
    }
    long seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || seconds < 0 ||
        seconds > kMaxSeconds) {
        throw EDBEngineError("LOCK TIMEOUT of alias '" + alias.name + "' must be a whole number " +
                             "of seconds from 0 to " + std::to_string(kMaxSeconds) + ", not '" +
                             text + "'");
    }
    return static_cast<int>(seconds * 1000);
}

bool ForeignKeysEnforced(const AliasConfig& alias) {
    if (alias.foreignKeys.empty() || SameText(alias.foreignKeys, "ON")) {
        return true;
    }
    if (SameText(alias.foreignKeys, "OFF")) {
        return false;
    }
    throw EDBEngineError("FOREIGN KEYS of alias '" + alias.name + "' must be ON or OFF, not '" +
                         alias.foreignKeys + "'");
}

AliasConfig DemoAliasConfig() {
    AliasConfig demo;
    demo.name = kDemoAlias;
    demo.driver = "SQLITE";
    demo.path = XdgFolder("XDG_DATA_HOME", ".local/share") + "/rowsmith/demo.sqlite";
    demo.demo = true;
    return demo;
}

}  // namespace rowsmith
