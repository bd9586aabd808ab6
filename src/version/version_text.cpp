#include "version/version_text.h"

#include <cstdio>

#include "version/version_info.h"

namespace rowsmith {

namespace {

VersionParts& Loaded() {
    static VersionParts parts;
    return parts;
}

}  // namespace

VersionParts ReadVersionParts(const std::string& programFile) {
    const TVersionInfo info(programFile);
    if (!info.Valid()) {
        return {};
    }
    std::string text = info.FirstTranslationString("FileVersion").value_or("");
    if (text.empty()) {
        char fixed[64];
        std::snprintf(fixed, sizeof fixed, "%u.%u.%u.%u", info.FileVersionMs() >> 16,
                      info.FileVersionMs() & 0xFFFF, info.FileVersionLs() >> 16,
                      info.FileVersionLs() & 0xFFFF);
        text = fixed;
    }
    const auto point = text.rfind('.');
    if (point == std::string::npos) {
        return {text, ""};
    }
    return {text.substr(0, point), text.substr(point + 1)};
}

void LoadVersionInfo() {
    Loaded() = ReadVersionParts("/proc/self/exe");
}

const std::string& VersionText() {
    return Loaded().version;
}

const std::string& BuildText() {
    return Loaded().build;
}

}  // namespace rowsmith
