// LibraryFinder: where a value library named in a scenario is read from. A library name is looked
// for as NAME.txt first in the user's folder ($XDG_DATA_HOME/rowsmith/libraries), then in the
// folder shipped with the program, so a user's library hides a shipped one of the same name. A
// name holding "/" is the path of a library file, relative to a base folder (the scenario's), so a
// project can keep its own lists beside its scenario.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rowsmith {

class LibraryFinder {
public:
    // The file name ending of a library found by name.
    static constexpr std::string_view kExtension = ".txt";

    struct Entry {
        std::string name;
        std::string path;
        bool shipped = false;
    };

    // The folders of this user and of this program: "libraries" beside the program (the build
    // tree) or ../share/rowsmith/libraries beside its bin folder (an installation).
    LibraryFinder();
    // Given folders; an empty one is not searched.
    LibraryFinder(std::string userFolder, std::string shippedFolder);

    const std::string& UserFolder() const { return userFolder_; }
    // Empty when the program was found with no libraries beside it.
    const std::string& ShippedFolder() const { return shippedFolder_; }

    // Whether `name` is a file path rather than a library's name.
    static bool IsPath(std::string_view name) { return name.find('/') != std::string_view::npos; }

    // The file of the library `name`. A path is resolved against `baseFolder` (the current
    // folder when empty) without looking at the disk: reading it reports a missing file. Throws
    // an Exception naming the library when no folder holds a library of that name.
    std::string Find(const std::string& name, const std::string& baseFolder) const;

    // Every library that a name finds, sorted by name: a shipped library that a user's library
    // hides is left out. Folders that do not exist give nothing.
    std::vector<Entry> List() const;

private:
    std::string userFolder_;
    std::string shippedFolder_;
};

}  // namespace rowsmith
