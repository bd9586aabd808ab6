// Writing a whole file so that a failure never leaves it half written: the contents go to a new
// file in the target's folder, which is flushed to the disk and then renamed over the target.
#pragma once

#include <string>

namespace rowsmith {

// Creates or replaces `fileName` with `contents`. When the new file cannot be made or put in
// place, throws EFCreateError "Cannot create file %s"; when writing it fails, EWriteError
// "Stream write error". On any failure the former file is untouched and no new file is left.
// A replaced file keeps its permission bits.
//
// A symbolic link (or a chain of them) is followed: the file it points to is written and the
// link stays. Where the folder may not be written but the file may (a shared folder), the file
// is rewritten in place instead: first a copy of it is kept in the temporary folder ($TMPDIR,
// else /tmp), then it is overwritten, and the copy is removed once the new contents are on the
// disk. Should that write fail, the former contents are put back; should even that fail, the
// EWriteError names the copy.
void ReplaceFile(const std::string& fileName, const std::string& contents);

}  // namespace rowsmith
