// A reader of sections-and-keys (INI) files, used for scenario files and the alias configuration.
// Key names are compared without regard to letter case. A section is found by its exact name
// first and only then without regard to case, because a scenario's sections are named after
// tables and columns, which a server may hold in names that differ only in case. A value is
// everything after the first "=" of its line, taken exactly; CR LF and LF line ends both read; a
// line beginning with ";" is a comment; where a section of the same exact name or a key repeats,
// the first one counts. A section header is a line that begins with "[" and ends with "]"; its
// name is what lies between, blanks included, and a key is the text before the first "=",
// untrimmed, so every name a writer puts into a file is found again as written. A UTF-8
// byte-order mark at the start of the file, which some editors write, is skipped.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rowsmith {

class IniFile {
public:
    // An empty file; Load fills it.
    IniFile() = default;

    // Reads the file; a file that does not exist or cannot be read gives an empty IniFile.
    static IniFile Load(const std::string& path);
    // Reads the file; one that cannot be opened or read (missing, a folder, no permission, an
    // I/O error) raises EFOpenError "Cannot open file %s: %s", the path and the system's reason.
    static IniFile Read(const std::string& path);
    static IniFile Parse(const std::string& contents);

    bool HasSection(const std::string& section) const;
    // The section names in file order, of those differing only in case the first.
    std::vector<std::string> Sections() const;
    // The key names of a section in file order; empty when the section is absent.
    std::vector<std::string> Keys(const std::string& section) const;
    // The value of a key, or nothing when the section or key is absent.
    std::optional<std::string> Find(const std::string& section, const std::string& key) const;
    // The value of a key, or the empty text when absent.
    std::string Value(const std::string& section, const std::string& key) const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        // Folded key name to its entry, so large files are read in linear time.
        std::unordered_map<std::string, std::size_t> index;
    };
    const Section* FindSection(const std::string& name) const;
    // Adds the line's section or key unless an earlier one of the same name counts instead.
    void ParseLine(std::string_view line, Section*& current);

    std::vector<Section> sections_;
    // Exact name, and folded name, to the first section so named.
    std::unordered_map<std::string, std::size_t> exactIndex_;
    std::unordered_map<std::string, std::size_t> foldedIndex_;
};

}  // namespace rowsmith
