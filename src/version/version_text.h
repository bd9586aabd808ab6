// The program's version as the About box shows it: read once at start-up from the program's own
// file and split at the last point into a version part and a build part.
#pragma once

#include <string>

namespace rowsmith {

struct VersionParts {
    std::string version;
    std::string build;
};

// The version of the program file at `programFile`: its "FileVersion" string, or when that is
// missing or empty its fixed numbers as "major.minor.release.build"; split at the last point. A
// text without a point is all version and no build; a file without a version section gives two
// empty parts.
VersionParts ReadVersionParts(const std::string& programFile);

// Reads this program's own file (/proc/self/exe) into VersionText and BuildText.
void LoadVersionInfo();
// Empty until LoadVersionInfo has run.
const std::string& VersionText();
const std::string& BuildText();

}  // namespace rowsmith
