// TVersionInfo: the version section of a program file (see version_layout.h), read from the file
// itself: its four fixed numbers and its strings by translation. Reads ELF files of either word
// size, little-endian; a file that is not one, has no such section or a damaged one gives an
// object that is not Valid. Reading never throws and never trusts a size the file gives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rowsmith {

class TVersionInfo {
public:
    explicit TVersionInfo(const std::string& programFile);

    bool Valid() const { return valid_; }
    // The most and least significant 32-bit words of the fixed file version.
    std::uint32_t FileVersionMs() const { return versionMs_; }
    std::uint32_t FileVersionLs() const { return versionLs_; }
    // The string `name` of the table of the first translation entry; nothing when the section
    // lists no translation or the table has no such string.
    std::optional<std::string> FirstTranslationString(const std::string& name) const;

private:
    // Parses the section's bytes; false when they are not a version section.
    bool Parse(const std::vector<char>& bytes);

    bool valid_ = false;
    std::uint32_t versionMs_ = 0;
    std::uint32_t versionLs_ = 0;
    std::vector<std::uint32_t> translations_;  // language << 16 | code page
    std::vector<std::pair<std::string, std::string>> strings_;
};

}  // namespace rowsmith
