// The version reader on program files made here byte by byte: ELF files of both word sizes with a
// version section of chosen content, without one, damaged, and files that are no ELF at all; and
// on rowsmith-fill as the build made it.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "temp_dir.h"
#include "version/version_info.h"
#include "version/version_text.h"

namespace rowsmith::test {
namespace {

using Bytes = std::string;

void Put(Bytes& bytes, std::size_t at, std::uint64_t value, int size) {
    if (bytes.size() < at + size) {
        bytes.resize(at + size, '\0');
    }
    for (int i = 0; i < size; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
    }
}

struct Section {
    std::string name;
    Bytes content;
};

// An ELF file holding `sections` and the table of their names, little-endian.
Bytes ElfFile(const std::vector<Section>& sections, bool wide = true) {
    const std::size_t headerSize = wide ? 64 : 52;
    const std::size_t entrySize = wide ? 64 : 40;
    Bytes file(headerSize, '\0');
    file.replace(0, 4,
                 "\x7f"
                 "ELF");
    file[4] = wide ? 2 : 1;
    file[5] = 1;
    file[6] = 1;
    Bytes names(1, '\0');
    std::vector<std::pair<std::size_t, std::size_t>> places;  // name, offset
    std::vector<Section> all = sections;
    all.push_back({".shstrtab", {}});
    for (auto& section : all) {
        places.emplace_back(names.size(), 0);
        names += section.name + '\0';
    }
    all.back().content = names;
    for (std::size_t i = 0; i < all.size(); ++i) {
        places[i].second = file.size();
        file += all[i].content;
    }
    const std::size_t table = file.size();
    file.resize(table + entrySize * (all.size() + 1), '\0');  // entry 0 stays empty
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::size_t entry = table + entrySize * (i + 1);
        Put(file, entry, places[i].first, 4);
        Put(file, entry + 4, 1, 4);
        Put(file, entry + (wide ? 0x18 : 0x10), places[i].second, wide ? 8 : 4);
        Put(file, entry + (wide ? 0x20 : 0x14), all[i].content.size(), wide ? 8 : 4);
    }
    Put(file, wide ? 0x28 : 0x20, table, wide ? 8 : 4);
    Put(file, wide ? 0x3A : 0x2E, entrySize, 2);
    Put(file, wide ? 0x3C : 0x30, all.size() + 1, 2);
    Put(file, wide ? 0x3E : 0x32, all.size(), 2);
    return file;
}

struct Translation {
    std::uint16_t language;
    std::uint16_t codePage;
};

// A version section: the fixed numbers as four parts, the translations and the strings.
Bytes VersionSection(const std::uint16_t (&fixed)[4], const std::vector<Translation>& translations,
                     const std::vector<std::pair<std::string, std::string>>& strings) {
    Bytes bytes("RSVERS1", 8);
    Put(bytes, 8, std::uint32_t{fixed[0]} << 16 | fixed[1], 4);
    Put(bytes, 12, std::uint32_t{fixed[2]} << 16 | fixed[3], 4);
    Put(bytes, 16, translations.size(), 2);
    Put(bytes, 18, 0, 2);
    for (const Translation& t : translations) {
        Put(bytes, bytes.size(), t.language, 2);
        Put(bytes, bytes.size(), t.codePage, 2);
    }
    Bytes block;
    for (const auto& [key, value] : strings) {
        block += key + '\0' + value + '\0';
    }
    Put(bytes, bytes.size(), block.size(), 4);
    return bytes + block;
}

const std::vector<Translation> kUsEnglish{{0x0409, 0x04E4}};

class VersionInfoTest : public ::testing::Test {
protected:
    VersionParts Read(const Bytes& content) {
        const std::string path = folder_.File("program-" + std::to_string(++files_));
        std::ofstream(path, std::ios::binary) << content;
        return ReadVersionParts(path);
    }

    VersionParts ReadSection(const Bytes& section, bool wide = true) {
        return Read(ElfFile({{".text", "code"}, {".rowsmith_version", section}}, wide));
    }

    TempDir folder_;
    int files_ = 0;
};

#define EXPECT_PARTS(parts, expectedVersion, expectedBuild) \
    do {                                                    \
        const VersionParts got = (parts);                   \
        EXPECT_EQ(got.version, expectedVersion);            \
        EXPECT_EQ(got.build, expectedBuild);                \
    } while (false)

TEST_F(VersionInfoTest, FileVersionStringSplitsAtTheLastPoint) {
    const struct {
        const char* fileVersion;
        const char* version;
        const char* build;
    } cases[] = {
        {"1.0.4.70", "1.0.4", "70"},
        {"2.5", "2", "5"},
        {"release", "release", ""},
        {"3.", "3", ""},
        {".9", "", "9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileVersion);
        EXPECT_PARTS(ReadSection(VersionSection({9, 9, 9, 9}, kUsEnglish,
                                                {{"040904E4\\ProductName", "Rowsmith"},
                                                 {"040904E4\\FileVersion", c.fileVersion}})),
                     c.version, c.build);
    }
}

TEST_F(VersionInfoTest, FixedNumbersStandInForAMissingOrEmptyString) {
    const std::uint16_t fixed[4] = {1, 2, 65535, 4};
    const struct {
        const char* why;
        std::vector<Translation> translations;
        std::vector<std::pair<std::string, std::string>> strings;
    } cases[] = {
        {"no FileVersion", kUsEnglish, {{"040904E4\\ProductName", "Rowsmith"}}},
        {"empty FileVersion", kUsEnglish, {{"040904E4\\FileVersion", ""}}},
        {"no translation listed", {}, {{"040904E4\\FileVersion", "7.7.7.7"}}},
        {"only another language's table",
         {{0x0407, 0x04B0}, {0x0409, 0x04E4}},
         {{"040904E4\\FileVersion", "7.7.7.7"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_PARTS(ReadSection(VersionSection(fixed, c.translations, c.strings)), "1.2.65535",
                     "4");
    }
}

TEST_F(VersionInfoTest, ElfFilesOfBothWordSizes) {
    const Bytes section =
        VersionSection({0, 0, 0, 0}, kUsEnglish, {{"040904E4\\FileVersion", "4.3.2.1"}});
    EXPECT_PARTS(ReadSection(section, true), "4.3.2", "1");
    EXPECT_PARTS(ReadSection(section, false), "4.3.2", "1");
}

TEST_F(VersionInfoTest, FilesWithoutAReadableSectionGiveNoVersion) {
    const Bytes good = VersionSection({1, 0, 0, 0}, kUsEnglish, {{"040904E4\\FileVersion", "1.0"}});
    Bytes lyingBlock = good;
    Put(lyingBlock, 24, 100000, 4);
    Bytes truncated = ElfFile({{".rowsmith_version", good}});
    truncated.resize(truncated.size() - 10);
    Bytes hugeTable = ElfFile({{".rowsmith_version", good}});
    Put(hugeTable, 0x28, 0xFFFFFFFFFFFF, 8);
    Bytes hugeEntries = ElfFile({{".rowsmith_version", good}});
    Put(hugeEntries, 0x3A, 0xFFFF, 2);
    Put(hugeEntries, 0x3C, 0xFFFF, 2);
    Bytes bigEndian = ElfFile({{".rowsmith_version", good}});
    bigEndian[5] = 2;
    const struct {
        const char* why;
        Bytes file;
    } cases[] = {
        {"no version section", ElfFile({{".text", "code"}, {".data", "1.0.0.1"}})},
        {"a section of another kind", ElfFile({{".rowsmith_version", "not a version"}})},
        {"a string block larger than the section", ElfFile({{".rowsmith_version", lyingBlock}})},
        {"a section table cut short", truncated},
        {"a section table past the end", hugeTable},
        {"a section table of four gigabytes", hugeEntries},
        {"big-endian", bigEndian},
        {"not an ELF file", "#!/bin/sh\necho 1.0.4.70\n"},
        {"an empty file", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_PARTS(Read(c.file), "", "");
    }
    EXPECT_PARTS(ReadVersionParts(folder_.File("missing")), "", "");
}

TEST_F(VersionInfoTest, ProgramFilesCarryTheProjectVersionAndBuild) {
    EXPECT_PARTS(ReadVersionParts(ROWSMITH_FILL_PATH), ROWSMITH_EXPECTED_VERSION,
                 ROWSMITH_EXPECTED_BUILD);
}

}  // namespace
}  // namespace rowsmith::test
