// Writing a whole file so that a failure never leaves it half written: the contents go to a new
// file in the target's folder, which is flushed to the disk and then renamed over the target.
#pragma once

#include <string>

namespace rowsmith {

// Creates or replaces `fileName` with `contents`. When the new file cannot be made or put in
// place, throws EFCreateError "Cannot create file %s"; when writing it fails, EWriteError
// "Stream write error". On any failure the former file is untouched and no new file is left.
// A replaced file keeps its permission bits.
void ReplaceFile(const std::string& fileName, const std::string& contents);

}  // namespace rowsmith
