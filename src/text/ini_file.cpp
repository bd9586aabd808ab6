#include "text/ini_file.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "text/errors.h"

#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// Names compare without regard to letter case (SameText): the indexes are keyed by this form.
std::string Folded(std::string_view name) {
    return UpperCase(std::string(name));
}

// The whole file, or the errno of the failure: opening a folder succeeds, reading it fails.
int ReadWholeFile(const std::string& path, std::string& contents) {
    // stdio rather than a stream: a folder or an I/O error must give its errno, not throw.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return errno;
    }
    errno = 0;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        contents.append(buffer, got);
    }
    const int error = std::ferror(file) != 0 ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(file);
    return error;
}

const char kByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace

IniFile IniFile::Load(const std::string& path) {
    std::string contents;
    return ReadWholeFile(path, contents) == 0 ? Parse(contents) : IniFile();
}

IniFile IniFile::Read(const std::string& path) {
    std::string contents;
    if (const int error = ReadWholeFile(path, contents); error != 0) {
        throw EFOpenError("Cannot open file " + path + ": " +
                          std::generic_category().message(error));
    }
    return Parse(contents);
}

IniFile IniFile::Parse(const std::string& contents) {
    IniFile ini;
    Section* current = nullptr;
    std::size_t start = contents.starts_with(kByteOrderMark) ? sizeof kByteOrderMark - 1 : 0;
    while (start < contents.size()) {
        auto end = contents.find('\n', start);
        if (end == std::string::npos) {
            end = contents.size();
        }
        std::string_view line(contents.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ini.ParseLine(line, current);
        start = end + 1;
    }
    return ini;
}

void IniFile::ParseLine(std::string_view line, Section*& current) {
    if (line.empty() || line.front() == ';') {
        return;
    }
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        const std::string name(line.substr(1, line.size() - 2));
        // A repeated section is skipped whole, keys included.
        if (!exactIndex_.emplace(name, sections_.size()).second) {
            current = nullptr;
            return;
        }
        foldedIndex_.emplace(Folded(name), sections_.size());
        sections_.push_back(Section{name, {}, {}});
        current = &sections_.back();
        return;
    }
    const auto equals = line.find('=');
    if (current == nullptr || equals == std::string_view::npos) {
        return;
    }
    // Hand-written files such as the alias configuration may put blanks around a key name; the
    // value after "=" is kept exactly.
    std::string_view key = line.substr(0, equals);
    while (!key.empty() && (key.front() == ' ' || key.front() == '\t')) {
        key.remove_prefix(1);
    }
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) {
        key.remove_suffix(1);
    }
    if (current->index.emplace(Folded(key), current->entries.size()).second) {
        current->entries.push_back(Entry{std::string(key), std::string(line.substr(equals + 1))});
    }
}

const IniFile::Section* IniFile::FindSection(const std::string& name) const {
    auto found = exactIndex_.find(name);
    if (found == exactIndex_.end()) {
        found = foldedIndex_.find(Folded(name));
        if (found == foldedIndex_.end()) {
            return nullptr;
        }
    }
    return &sections_[found->second];
}

bool IniFile::HasSection(const std::string& section) const {
    return FindSection(section) != nullptr;
}

std::vector<std::string> IniFile::Sections() const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (foldedIndex_.at(Folded(sections_[i].name)) == i) {
            names.push_back(sections_[i].name);
        }
    }
    return names;
}

std::vector<std::string> IniFile::Keys(const std::string& section) const {
    std::vector<std::string> keys;
    if (const Section* found = FindSection(section)) {
        keys.reserve(found->entries.size());
        for (const auto& entry : found->entries) {
            keys.push_back(entry.key);
        }
    }
    return keys;
}

std::optional<std::string> IniFile::Find(const std::string& section, const std::string& key) const {
    const Section* found = FindSection(section);
    if (found == nullptr) {
        return std::nullopt;
    }
    const auto entry = found->index.find(Folded(key));
    if (entry == found->index.end()) {
        return std::nullopt;
    }
    return found->entries[entry->second].value;
}

std::string IniFile::Value(const std::string& section, const std::string& key) const {
    return Find(section, key).value_or(std::string());
}

}  // namespace rowsmith
