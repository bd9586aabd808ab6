#include "fill/library_shelf.h"

namespace rowsmith {

const ValueLibrary& LibraryShelf::Library(const std::string& name) {
    const std::string path = finder_.Find(name, baseFolder_);
    auto found = byPath_.find(path);
    if (found == byPath_.end()) {
        found =
            byPath_
                .emplace(path, std::make_unique<const ValueLibrary>(ValueLibrary::Load(path, name)))
                .first;
    }
    return *found->second;
}

}  // namespace rowsmith
