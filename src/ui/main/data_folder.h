// Where the program finds the files it ships with: beside the program in the build tree, or in
// the data folder of the prefix it is installed in (../share/rowsmith beside its bin folder), so a
// package moved to another prefix still finds them.
#pragma once

#include <QString>

namespace rowsmith {

// The path of the shipped folder `name` ("examples"), or empty when neither place has it.
QString FindDataFolder(const QString& name);

}  // namespace rowsmith
