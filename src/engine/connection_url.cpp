#include "engine/connection_url.h"

#include <filesystem>
#include <string_view>

#include "engine/database_errors.h"
#include "text/conversions.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

namespace fs = std::filesystem;

struct Scheme {
    const char* prefix;
    const char* driver;
};

const Scheme kSchemes[] = {
    {"postgresql://", "POSTGRESQL"}, {"postgres://", "POSTGRESQL"}, {"mariadb://", "MARIADB"},
    {"mysql://", "MYSQL"},           {"sqlite://", "SQLITE"},
};

// `what` names the part for the message; a password's text never reaches one.
std::string Decoded(std::string_view text, const char* what) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? HexDigitValue(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexDigitValue(text[i + 2]) : -1;
        if (high < 0 || low < 0) {
            throw EDBEngineError(std::string("The connection URL has a broken %-escape in its ") +
                                 what);
        }
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

std::string FromHere(const std::string& path) {
    std::error_code ignored;
    return path.empty() ? path : fs::absolute(path, ignored).lexically_normal().string();
}

void SetParameter(AliasConfig& alias, const std::string& name, const std::string& value) {
    const std::string key = UpperCase(name);
    if (key == "SSLMODE") {
        alias.sslMode = value;
    } else if (key == "SSLROOTCERT") {
        alias.sslRootCert = FromHere(value);
    } else if (key == "SSLCA") {
        alias.sslCa = FromHere(value);
    } else if (key == "SSLCERT") {
        alias.sslCert = FromHere(value);
    } else if (key == "SSLKEY") {
        alias.sslKey = FromHere(value);
    } else if (key == "SSLCRL") {
        alias.sslCrl = FromHere(value);
    } else if (key == "SERVICE") {
        alias.service = value;
    } else if (key == "SCHEMA") {
        alias.schema = value;
    } else if (key == "HOST") {
        alias.host = value;
    } else if (key == "PORT") {
        alias.port = value;
    } else if (key == "SOCKET") {
        alias.socket = value;
    } else {
        throw EDBEngineError("The connection URL has an unknown parameter '" + name + "'");
    }
}

void ReadQuery(std::string_view query, AliasConfig& alias) {
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty()) {
            continue;
        }
        const std::size_t equals = pair.find('=');
        const std::string name = Decoded(pair.substr(0, equals), "parameters");
        const std::string value =
            equals == std::string_view::npos ? "" : Decoded(pair.substr(equals + 1), "parameters");
        SetParameter(alias, name, value);
    }
}

// "user:password@host:port", any part left out.
void ReadAuthority(std::string_view authority, AliasConfig& alias) {
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const std::size_t colon = userInfo.find(':');
        alias.user = Decoded(userInfo.substr(0, colon), "user name");
        if (colon != std::string_view::npos) {
            alias.password = Decoded(userInfo.substr(colon + 1), "password");
        }
        authority = authority.substr(at + 1);
    }
    // An IPv6 address stands in brackets, its colons not being the port's.
    const std::size_t bracket = authority.rfind(']');
    const std::size_t colon = authority.rfind(':');
    std::string_view host = authority;
    if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
        alias.port = Decoded(authority.substr(colon + 1), "port");
        host = authority.substr(0, colon);
    }
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    alias.host = Decoded(host, "host");
}

}  // namespace

AliasConfig AliasFromUrl(const std::string& url) {
    const Scheme* scheme = nullptr;
    for (const Scheme& known : kSchemes) {
        if (url.size() >= std::string_view(known.prefix).size() &&
            SameText(std::string_view(url).substr(0, std::string_view(known.prefix).size()),
                     known.prefix)) {
            scheme = &known;
        }
    }
    if (scheme == nullptr) {
        throw EDBEngineError(
            "A connection URL begins with postgresql://, mariadb://, mysql:// or sqlite://");
    }
    AliasConfig alias;
    alias.driver = scheme->driver;
    std::error_code ignored;
    alias.configFolder = fs::current_path(ignored).string();
    std::string_view rest = std::string_view(url).substr(std::string_view(scheme->prefix).size());
    std::string_view query;
    if (const std::size_t question = rest.find('?'); question != std::string_view::npos) {
        query = rest.substr(question + 1);
        rest = rest.substr(0, question);
    }
    const std::size_t slash = rest.find('/');
    const std::string_view authority = rest.substr(0, slash);
    const std::string_view path =
        slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (alias.driver == "SQLITE") {
        if (!authority.empty() || path.empty()) {
            throw EDBEngineError("A SQLite connection URL names its file as sqlite:///path/file");
        }
        alias.path = "/" + Decoded(path, "path");
    } else {
        ReadAuthority(authority, alias);
        alias.database = Decoded(path, "database name");
    }
    ReadQuery(query, alias);

    // The URL as the user gave it, the password left out.
    alias.name = url;
    if (alias.password) {
        const std::size_t start = std::string_view(scheme->prefix).size();
        const std::size_t at = start + authority.rfind('@');
        const std::size_t colon = url.find(':', start);
        alias.name = url.substr(0, colon) + url.substr(at);
    }
    return alias;
}

}  // namespace rowsmith
