// Demo databases as earlier versions of Rowsmith left them in the user's data folder, for the
// tests of their upgrade.
#pragma once

#include <string>

namespace rowsmith::test {

enum class OldDemo {
    // The first demo: its references do not cascade and are not indexed. Nothing checked them
    // then, so one order refers to a customer that is gone.
    NoCascade,
    // The references cascade but are not indexed.
    NoIndexes,
    // Indexed references: the last demo whose file did not carry its schema's version.
    Unversioned,
};

// Writes a demo of that kind, with a few records in every table, to the new file `path`.
void WriteOldDemo(const std::string& path, OldDemo kind);

}  // namespace rowsmith::test
