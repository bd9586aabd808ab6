// LibraryShelf: the value libraries of one fill, each read once however many columns draw from
// it. Libraries are kept by the file they were read from, so a name and a path to the same file
// share one copy.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "fill/library_finder.h"
#include "fill/value_library.h"

namespace rowsmith {

class LibraryShelf {
public:
    // Names are found by `finder`, paths against `baseFolder` (the scenario's folder).
    LibraryShelf(LibraryFinder finder, std::string baseFolder)
        : finder_(std::move(finder)), baseFolder_(std::move(baseFolder)) {}

    // The library `name`, read on first use; the reference stays valid as long as the shelf.
    // Throws the finder's or the reader's Exception, and again on the next call.
    const ValueLibrary& Library(const std::string& name);

private:
    LibraryFinder finder_;
    std::string baseFolder_;
    std::map<std::string, std::unique_ptr<const ValueLibrary>> byPath_;
};

}  // namespace rowsmith
