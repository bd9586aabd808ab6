// The layout of the version section that the build stores in each program file, shared by the
// generated section and its reader. Numbers are little-endian.
//
//   offset  0  magic "RSVERS1" and a zero byte
//           8  uint32  most significant version word: major << 16 | minor
//          12  uint32  least significant version word: release << 16 | build
//          16  uint16  number of translation entries (0 or more)
//          18  uint16  zero
//          20  per translation entry: uint16 language, uint16 code page
//              uint32  size of the string block in bytes
//              string block: pairs of zero-ended texts, a key and its value. A key is the string
//              table's name, the language and code page as eight upper-case hexadecimal digits,
//              then a backslash and the string's name: "040904E4\FileVersion".
#pragma once

#include <cstddef>

namespace rowsmith {

inline constexpr const char* kVersionSectionName = ".rowsmith_version";
inline constexpr char kVersionMagic[8] = {'R', 'S', 'V', 'E', 'R', 'S', '1', '\0'};
inline constexpr std::size_t kVersionHeaderSize = 20;
// A section larger than this is not ours: the reader refuses it rather than load it whole.
inline constexpr std::size_t kVersionSectionLimit = 64 * 1024;

}  // namespace rowsmith
