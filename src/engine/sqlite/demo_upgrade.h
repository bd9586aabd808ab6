// The upgrade of a demo database made by an earlier version of Rowsmith to this version's tables
// (demo_schema.h), keeping its records, so that the demo scenario of this version fills it.
#pragma once

#include <string>

namespace rowsmith {

// Brings the demo database at `path` up to date in one transaction: a missing column is added at
// the end of its table, and a table whose columns differ otherwise (a narrower text, a reference
// that does not cascade) is rebuilt as SQLite's documentation says a table is changed: a new
// table, the records copied, the old one dropped and the new one renamed. The file's PRAGMA
// user_version then says the demo is current. A file of a newer version, or one whose tables or
// columns are not the demo's, is left as it is. Throws EDBEngineError.
void UpgradeDemoDatabase(const std::string& path);

}  // namespace rowsmith
