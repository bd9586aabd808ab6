#include "engine/alias_config.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <utility>

#include "engine/alias_keys.h"
#include "engine/database_errors.h"
#include "text/ini_file.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

namespace fs = std::filesystem;

const char kDemoAlias[] = "Demo";

const char* const kSslModes[] = {"disable", "allow",     "prefer",
                                 "require", "verify-ca", "verify-full"};

AliasConfig ReadAlias(const IniFile& ini, const std::string& section, const fs::path& folder) {
    using namespace alias_key;
    auto value = [&](const char* key) { return TrimSpaces(ini.Value(section, key)); };
    auto file = [&](const char* key) {
        const std::string path = value(key);
        return path.empty() ? path : (folder / path).lexically_normal().string();
    };
    AliasConfig alias;
    alias.name = section;
    alias.configFolder = folder.string();
    alias.driver = UpperCase(value(kDriver));
    alias.path = file(kPath);
    alias.host = value(kHost);
    alias.port = value(kPort);
    alias.socket = value(kSocket);
    alias.database = value(kDatabaseName);
    alias.user = value(kUserName);
    // A password may begin or end with blanks, so it is taken exactly.
    alias.password = ini.Find(section, kPassword);
    alias.lockTimeout = value(kLockTimeout);
    alias.foreignKeys = value(kForeignKeys);
    const std::string schema = value(kSchema);
    if (!schema.empty()) {
        alias.schema = schema;
    }
    alias.service = value(kService);
    alias.optionGroup = value(kOptionGroup);
    alias.sslMode = value(kSslMode);
    alias.sslRootCert = file(kSslRootCert);
    alias.sslCa = file(kSslCa);
    alias.sslCert = file(kSslCert);
    alias.sslKey = file(kSslKey);
    alias.sslCrl = file(kSslCrl);
    const unsigned drivers = AliasDriverBits(alias.driver);
    for (const std::string& key : ini.Keys(section)) {
        if (IsAliasKeyRead(key, drivers)) {
            continue;
        }
        const std::string name = TrimSpaces(key);
        std::string warning = "Alias '" + section + "': the key " + name;
        warning += IsAliasKeyRead(name, kAliasAnyDriver)
                       ? " is not read by a " + alias.driver + " alias and is ignored"
                       : " is unknown and is ignored";
        const std::string nearest = NearestAliasKey(name, drivers);
        if (!nearest.empty()) {
            warning += "; did you mean " + nearest + "?";
        }
        alias.warnings.push_back(warning);
    }
    return alias;
}

// libpq warns in the same case of its password file: group or world permission bits.
bool OthersMayRead(const std::string& file) {
    struct stat status {};
    return stat(file.c_str(), &status) == 0 && (status.st_mode & (S_IRWXG | S_IRWXO)) != 0;
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
        const bool othersMayRead = OthersMayRead(configFile);
        for (const auto& section : ini.Sections()) {
            aliases.push_back(ReadAlias(ini, section, folder));
            demoDefined = demoDefined || SameText(section, kDemoAlias);
            if (othersMayRead && aliases.back().password) {
                aliases.back().warnings.push_back(
                    "The alias file " + configFile +
                    " holds a PASSWORD that others may read; chmod 600 " + configFile +
                    " keeps it to you");
            }
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

std::string SslMode(const AliasConfig& alias) {
    for (const char* mode : kSslModes) {
        if (SameText(alias.sslMode, mode)) {
            return mode;
        }
    }
    if (!alias.sslMode.empty()) {
        throw EDBEngineError("SSL MODE of alias '" + alias.name +
                             "' must be disable, allow, prefer, require, verify-ca or "
                             "verify-full, not '" +
                             alias.sslMode + "'");
    }
    return {};
}

void CheckAliasFiles(const AliasConfig& alias) {
    using namespace alias_key;
    const unsigned drivers = AliasDriverBits(alias.driver);
    const std::pair<const char*, const std::string*> files[] = {
        {kSslRootCert, &alias.sslRootCert}, {kSslCa, &alias.sslCa},   {kSslCert, &alias.sslCert},
        {kSslKey, &alias.sslKey},           {kSslCrl, &alias.sslCrl},
    };
    for (const auto& [key, path] : files) {
        if (path->empty() || !IsAliasKeyRead(key, drivers)) {
            continue;
        }
        std::error_code ignored;
        // A folder opens as a stream but reads as nothing.
        const bool folder = fs::is_directory(*path, ignored);
        errno = 0;
        if (folder || !std::ifstream(*path).is_open()) {
            const int error = folder ? EISDIR : errno;
            throw EDBEngineError(std::string(key) + " of alias '" + alias.name +
                                 "' cannot be read: " + *path + ": " +
                                 std::strerror(error != 0 ? error : ENOENT));
        }
    }
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
