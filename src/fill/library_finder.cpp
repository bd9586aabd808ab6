#include "fill/library_finder.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "engine/alias_config.h"
#include "text/errors.h"

namespace rowsmith {

namespace {

namespace fs = std::filesystem;

std::string FindShippedFolder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    const fs::path programFolder = program.parent_path();
    for (const fs::path& candidate :
         {programFolder / "libraries", programFolder / "../share/rowsmith/libraries"}) {
        if (fs::is_directory(candidate, error)) {
            return candidate.lexically_normal().string();
        }
    }
    return {};
}

// The libraries of one folder by name; a folder that cannot be read gives none.
void AddFolder(const std::string& folder, bool shipped,
               std::map<std::string, LibraryFinder::Entry>& found) {
    std::error_code error;
    if (folder.empty() || !fs::is_directory(folder, error)) {
        return;
    }
    for (const auto& item : fs::directory_iterator(folder, error)) {
        const fs::path& path = item.path();
        if (path.extension().string() != LibraryFinder::kExtension ||
            !item.is_regular_file(error)) {
            continue;
        }
        found.try_emplace(path.stem().string(),
                          LibraryFinder::Entry{path.stem().string(), path.string(), shipped});
    }
}

}  // namespace

LibraryFinder::LibraryFinder()
    : LibraryFinder(XdgFolder("XDG_DATA_HOME", ".local/share") + "/rowsmith/libraries",
                    FindShippedFolder()) {}

LibraryFinder::LibraryFinder(std::string userFolder, std::string shippedFolder)
    : userFolder_(std::move(userFolder)), shippedFolder_(std::move(shippedFolder)) {}

std::string LibraryFinder::Find(const std::string& name, const std::string& baseFolder) const {
    if (name.empty()) {
        throw Exception("No library name is given");
    }
    if (IsPath(name)) {
        return (fs::path(baseFolder) / name).lexically_normal().string();
    }
    std::string searched;
    for (const std::string& folder : {userFolder_, shippedFolder_}) {
        if (folder.empty()) {
            continue;
        }
        const std::string path = folder + "/" + name + std::string(kExtension);
        std::error_code error;
        if (fs::exists(path, error)) {
            return path;
        }
        searched += (searched.empty() ? "" : " or ") + folder;
    }
    throw Exception("Library \"" + name + "\" not found in " + searched);
}

std::vector<LibraryFinder::Entry> LibraryFinder::List() const {
    std::map<std::string, Entry> found;
    AddFolder(userFolder_, false, found);
    AddFolder(shippedFolder_, true, found);
    std::vector<Entry> list;
    list.reserve(found.size());
    for (auto& [name, entry] : found) {
        list.push_back(std::move(entry));
    }
    return list;
}

}  // namespace rowsmith
