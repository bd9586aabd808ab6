// The program's version, as the project's build gives it ("0.1.0"). It is compiled into a
// generated source of its own, so a new version rebuilds that file alone.
#pragma once

namespace rowsmith {

const char* ProgramVersion();

}  // namespace rowsmith
