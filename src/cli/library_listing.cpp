#include "cli/library_listing.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "fill/value_library.h"
#include "text/errors.h"
#include "text/printable.h"

namespace rowsmith {

namespace {

struct Row {
    std::string name;
    std::string count;
    std::string origin;
    std::string path;
};

}  // namespace

int ListLibraries(const LibraryFinder& finder, std::FILE* out, std::FILE* err) {
    int status = 0;
    std::vector<Row> rows;
    std::size_t nameWidth = 0;
    std::size_t countWidth = 0;
    for (const LibraryFinder::Entry& entry : finder.List()) {
        std::optional<ValueLibrary> library;
        try {
            library.emplace(ValueLibrary::Load(entry.path, entry.name));
        } catch (const Exception& error) {
            std::fprintf(err, "rowsmith-fill: %s\n", ErrorBoxText(error.what()).c_str());
            status = 1;
            continue;
        }
        Row row{PrintableText(entry.name), std::to_string(library->Count()),
                entry.shipped ? "shipped" : "user", PrintableText(entry.path)};
        nameWidth = std::max(nameWidth, ScreenColumns(row.name));
        countWidth = std::max(countWidth, row.count.size());
        rows.push_back(std::move(row));
    }
    for (const Row& row : rows) {
        std::fprintf(out, "%s%s  %*s  %-7s  %s\n", row.name.c_str(),
                     std::string(nameWidth - ScreenColumns(row.name), ' ').c_str(),
                     static_cast<int>(countWidth), row.count.c_str(), row.origin.c_str(),
                     row.path.c_str());
    }
    return status;
}

void ShowLibrary(const LibraryFinder& finder, const std::string& name, std::FILE* out) {
    std::error_code noFolder;
    const std::string path = finder.Find(name, std::filesystem::current_path(noFolder).string());
    const ValueLibrary library = ValueLibrary::Load(path, name);
    for (std::size_t i = 0; i < library.Count(); ++i) {
        const std::string_view value = library.Value(i);
        std::fwrite(value.data(), 1, value.size(), out);
        // Without its weight such a value would read back as a blank line or a bad weight.
        const bool needsWeight = value.find('\t') != std::string_view::npos ||
                                 value.find_first_not_of(" ") == std::string_view::npos;
        if (library.Weighted() || needsWeight) {
            std::fprintf(out, "\t%u", static_cast<unsigned>(library.Weight(i)));
        }
        std::fputc('\n', out);
    }
}

}  // namespace rowsmith
