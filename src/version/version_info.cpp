#include "version/version_info.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "version/version_layout.h"

namespace rowsmith {

namespace {

std::uint64_t Little(const char* bytes, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

// Reads `size` bytes at `offset` of a file of `fileSize` bytes; false when the file is shorter.
// Sizes come from the file, so they are checked before anything is allocated.
bool ReadAt(std::ifstream& file, std::uint64_t fileSize, std::uint64_t offset, std::uint64_t size,
            std::vector<char>& out) {
    if (offset > fileSize || size > fileSize - offset) {
        return false;
    }
    out.assign(size, '\0');
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(out.data(), static_cast<std::streamsize>(size));
    return static_cast<std::uint64_t>(file.gcount()) == size;
}

// The bytes of the section named `wanted` of an ELF file; false when there is none.
bool ReadElfSection(const std::string& path, const std::string& wanted, std::vector<char>& out) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        return false;
    }
    const auto end = static_cast<std::uint64_t>(std::max<std::streamoff>(file.tellg(), 0));
    std::vector<char> header;
    if (!ReadAt(file, end, 0, 64, header) ||
        std::memcmp(header.data(),
                    "\x7f"
                    "ELF",
                    4) != 0 ||
        header[5] != 1) {  // little-endian only
        return false;
    }
    const bool wide = header[4] == 2;
    if (!wide && header[4] != 1) {
        return false;
    }
    const std::uint64_t sectionTable = wide ? Little(&header[0x28], 8) : Little(&header[0x20], 4);
    const std::uint64_t entrySize = Little(&header[wide ? 0x3A : 0x2E], 2);
    const std::uint64_t count = Little(&header[wide ? 0x3C : 0x30], 2);
    const std::uint64_t namesIndex = Little(&header[wide ? 0x3E : 0x32], 2);
    if (entrySize < (wide ? 64u : 40u) || namesIndex >= count) {
        return false;
    }
    std::vector<char> table;
    if (!ReadAt(file, end, sectionTable, entrySize * count, table)) {
        return false;
    }
    struct Section {
        std::uint64_t name, offset, size;
    };
    const auto sectionAt = [&](std::uint64_t index) {
        const char* entry = &table[index * entrySize];
        return wide ? Section{Little(entry, 4), Little(entry + 0x18, 8), Little(entry + 0x20, 8)}
                    : Section{Little(entry, 4), Little(entry + 0x10, 4), Little(entry + 0x14, 4)};
    };
    const Section names = sectionAt(namesIndex);
    std::vector<char> nameBytes;
    if (names.size > kVersionSectionLimit ||
        !ReadAt(file, end, names.offset, names.size, nameBytes)) {
        return false;
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        const Section section = sectionAt(i);
        if (section.name >= nameBytes.size()) {
            continue;
        }
        const char* name = &nameBytes[section.name];
        const std::size_t room = nameBytes.size() - section.name;
        if (strnlen(name, room) == wanted.size() &&
            wanted.compare(0, room, name, wanted.size()) == 0) {
            return section.size <= kVersionSectionLimit &&
                   ReadAt(file, end, section.offset, section.size, out);
        }
    }
    return false;
}

}  // namespace

TVersionInfo::TVersionInfo(const std::string& programFile) {
    std::vector<char> bytes;
    valid_ = ReadElfSection(programFile, kVersionSectionName, bytes) && Parse(bytes);
}

bool TVersionInfo::Parse(const std::vector<char>& bytes) {
    if (bytes.size() < kVersionHeaderSize ||
        std::memcmp(bytes.data(), kVersionMagic, sizeof kVersionMagic) != 0) {
        return false;
    }
    versionMs_ = static_cast<std::uint32_t>(Little(&bytes[8], 4));
    versionLs_ = static_cast<std::uint32_t>(Little(&bytes[12], 4));
    const std::size_t translations = Little(&bytes[16], 2);
    std::size_t at = kVersionHeaderSize;
    if (bytes.size() < at + translations * 4 + 4) {
        return false;
    }
    for (std::size_t i = 0; i < translations; ++i, at += 4) {
        translations_.push_back(
            static_cast<std::uint32_t>(Little(&bytes[at], 2) << 16 | Little(&bytes[at + 2], 2)));
    }
    const std::size_t stringBytes = Little(&bytes[at], 4);
    at += 4;
    if (bytes.size() - at < stringBytes) {
        return false;
    }
    const char* text = bytes.data() + at;
    const char* const end = text + stringBytes;
    // Pairs of zero-ended texts; an unfinished pair at the end is left out.
    const auto next = [&](std::string& out) {
        const char* zero = static_cast<const char*>(std::memchr(text, '\0', end - text));
        if (zero == nullptr) {
            return false;
        }
        out.assign(text, zero);
        text = zero + 1;
        return true;
    };
    std::string key;
    std::string value;
    while (text < end && next(key) && next(value)) {
        strings_.emplace_back(key, value);
    }
    return true;
}

std::optional<std::string> TVersionInfo::FirstTranslationString(const std::string& name) const {
    if (translations_.empty()) {
        return std::nullopt;
    }
    char table[9];
    std::snprintf(table, sizeof table, "%08X", static_cast<unsigned>(translations_.front()));
    const std::string key = std::string(table) + "\\" + name;
    for (const auto& [stringKey, value] : strings_) {
        if (stringKey == key) {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace rowsmith
