// The keys an alias section may hold, in one list: the configuration reader takes its key names
// from it, the warning about keys nobody reads finds its suggestion in it, and the documentation
// test checks the alias guide against it. Each key says which drivers read it.
#pragma once

#include <span>
#include <string>

namespace rowsmith {

enum AliasDriverBit : unsigned {
    kAliasSqlite = 1,
    kAliasPostgres = 2,
    kAliasMariaDb = 4,
    kAliasAnyDriver = kAliasSqlite | kAliasPostgres | kAliasMariaDb,
};

struct AliasKey {
    const char* name;
    // AliasDriverBit values of the drivers that read the key.
    unsigned drivers;
};

namespace alias_key {
inline constexpr char kDriver[] = "DRIVER";
inline constexpr char kPath[] = "PATH";
inline constexpr char kHost[] = "HOST";
inline constexpr char kPort[] = "PORT";
inline constexpr char kSocket[] = "SOCKET";
inline constexpr char kDatabaseName[] = "DATABASE NAME";
inline constexpr char kUserName[] = "USER NAME";
inline constexpr char kPassword[] = "PASSWORD";
inline constexpr char kSchema[] = "SCHEMA";
inline constexpr char kLockTimeout[] = "LOCK TIMEOUT";
inline constexpr char kForeignKeys[] = "FOREIGN KEYS";
inline constexpr char kService[] = "SERVICE";
inline constexpr char kOptionGroup[] = "OPTION GROUP";
inline constexpr char kSslMode[] = "SSL MODE";
inline constexpr char kSslRootCert[] = "SSL ROOT CERT";
inline constexpr char kSslCa[] = "SSL CA";
inline constexpr char kSslCert[] = "SSL CERT";
inline constexpr char kSslKey[] = "SSL KEY";
inline constexpr char kSslCrl[] = "SSL CRL";
}  // namespace alias_key

// Every known key, in the order the alias guide lists them.
std::span<const AliasKey> AliasKeys();

// The AliasDriverBit of a DRIVER value ("SQLITE", "POSTGRESQL", "MARIADB", "MYSQL");
// kAliasAnyDriver for any other, so that no key of a mistyped driver passes for unread.
unsigned AliasDriverBits(const std::string& driver);

// Whether a driver of `drivers` reads `key` (letter case and blanks around it aside).
bool IsAliasKeyRead(const std::string& key, unsigned drivers);

// The key of `drivers` closest to `key` in spelling, blanks, "_" and "-" and letter case aside.
// For a key of another driver: the key of `drivers` that means the same (SSL CA for SSL ROOT
// CERT, and the other way round), or the empty text.
std::string NearestAliasKey(const std::string& key, unsigned drivers);

}  // namespace rowsmith
