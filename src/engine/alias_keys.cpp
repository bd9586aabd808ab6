#include "engine/alias_keys.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "text/text_helpers.h"

namespace rowsmith {

namespace {

using namespace alias_key;

constexpr unsigned kServers = kAliasPostgres | kAliasMariaDb;

constexpr std::array kKeys = {
    AliasKey{kDriver, kAliasAnyDriver},
    AliasKey{kPath, kAliasSqlite},
    AliasKey{kHost, kServers},
    AliasKey{kPort, kServers},
    AliasKey{kSocket, kAliasMariaDb},
    AliasKey{kDatabaseName, kServers},
    AliasKey{kUserName, kServers},
    AliasKey{kPassword, kServers},
    AliasKey{kSchema, kAliasPostgres},
    AliasKey{kLockTimeout, kAliasAnyDriver},
    AliasKey{kForeignKeys, kAliasSqlite},
    AliasKey{kService, kAliasPostgres},
    AliasKey{kOptionGroup, kAliasMariaDb},
    AliasKey{kSslMode, kServers},
    AliasKey{kSslRootCert, kAliasPostgres},
    AliasKey{kSslCa, kAliasMariaDb},
    AliasKey{kSslCert, kServers},
    AliasKey{kSslKey, kServers},
    AliasKey{kSslCrl, kServers},
};

// Upper case without blanks, "_" and "-": SSLMODE, ssl_mode and "Ssl Mode" all read SSLMODE.
std::string Folded(const std::string& key) {
    std::string folded;
    for (char c : key) {
        if (c != ' ' && c != '\t' && c != '_' && c != '-') {
            folded += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return folded;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::span<const AliasKey> AliasKeys() {
    return kKeys;
}

unsigned AliasDriverBits(const std::string& driver) {
    if (driver == "SQLITE") {
        return kAliasSqlite;
    }
    if (driver == "POSTGRESQL") {
        return kAliasPostgres;
    }
    if (driver == "MARIADB" || driver == "MYSQL") {
        return kAliasMariaDb;
    }
    return kAliasAnyDriver;
}

bool IsAliasKeyRead(const std::string& key, unsigned drivers) {
    const std::string trimmed = TrimSpaces(key);
    return std::any_of(kKeys.begin(), kKeys.end(), [&](const AliasKey& known) {
        return (known.drivers & drivers) != 0 && SameText(trimmed, known.name);
    });
}

std::string NearestAliasKey(const std::string& key, unsigned drivers) {
    // The servers name their certificate authority's file differently; either name suggests the
    // other.
    if (SameText(TrimSpaces(key), kSslCa) && (drivers & kAliasPostgres) != 0) {
        return kSslRootCert;
    }
    if (SameText(TrimSpaces(key), kSslRootCert) && (drivers & kAliasMariaDb) != 0) {
        return kSslCa;
    }
    // Another driver's key is not a misspelling of this one's.
    if (IsAliasKeyRead(key, kAliasAnyDriver)) {
        return {};
    }
    const std::string folded = Folded(key);
    std::string nearest;
    std::size_t best = 0;
    for (const AliasKey& known : kKeys) {
        if ((known.drivers & drivers) == 0) {
            continue;
        }
        const std::size_t distance = EditDistance(folded, Folded(known.name));
        if (nearest.empty() || distance < best) {
            nearest = known.name;
            best = distance;
        }
    }
    return nearest;
}

}  // namespace rowsmith
