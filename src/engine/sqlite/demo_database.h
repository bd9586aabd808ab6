// The demo database behind the built-in alias Demo: a few related sample tables (customers,
// orders, items, parts, employees) whose columns cover the common types, with some rows each,
// so a new user has something to fill at once.
#pragma once

#include <string>

namespace rowsmith {

// Creates the database at `path` (and its folder) when the file does not exist yet. It is built
// in a temporary file and renamed into place, so a failure never leaves half a demo behind. A
// demo that an earlier version made is brought up to date instead (UpgradeDemoDatabase).
void EnsureDemoDatabase(const std::string& path);

}  // namespace rowsmith
