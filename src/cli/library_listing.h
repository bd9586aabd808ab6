// The value libraries on the command line: --list-libraries shows which libraries a name finds
// and where each is read from, --show-library prints one library's values.
#pragma once

#include <cstdio>
#include <string>

#include "fill/library_finder.h"

namespace rowsmith {

// One line a library, sorted by name: its name, its number of values, "user" or "shipped", and
// its file, in aligned columns. A library that cannot be read is reported on `err` in the
// program's error form and left out. Returns the exit status: 0, or 1 when any was left out.
int ListLibraries(const LibraryFinder& finder, std::FILE* out, std::FILE* err);

// The values of the library `name` (a path is taken from the current folder), one a line, each
// followed by a tab and its weight when the library weighs its values unevenly, so the output
// reads back as the same library. Throws the finder's or the reader's Exception.
void ShowLibrary(const LibraryFinder& finder, const std::string& name, std::FILE* out);

}  // namespace rowsmith
