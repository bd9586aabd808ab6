// The user's value libraries in the UI tests: a folder of them for a test, and a library picked
// in the picker as a person picks it.
#pragma once

#include <QTreeWidget>
#include <filesystem>
#include <string>

#include "dialogs/dlg_library_picker.h"
#include "scoped_env.h"
#include "temp_dir.h"

namespace rowsmith::test {

// A fresh $XDG_DATA_HOME, where the user's libraries live, for as long as it lives.
class UserDataFolder {
public:
    // The user's library folder; it is not made here.
    std::string Libraries() const { return folder_.Path() + "/rowsmith/libraries"; }

    // Writes the library `name` with `text` in the user's folder.
    void WriteLibrary(const std::string& name, const std::string& text) const {
        std::filesystem::create_directories(Libraries());
        WriteFile(Libraries() + "/" + name + ".txt", text);
    }

private:
    TempDir folder_;
    ScopedEnv dataHome_{"XDG_DATA_HOME", folder_.Path()};
};

// Makes the picker's row named `name` current; false when it lists none of that name.
inline bool PickLibrary(TdlgLibraryPicker& picker, const QString& name) {
    const QList<QTreeWidgetItem*> found =
        picker.lvLibraries->findItems(name, Qt::MatchExactly, TdlgLibraryPicker::colName);
    if (found.isEmpty()) {
        return false;
    }
    picker.lvLibraries->setCurrentItem(found.front());
    return true;
}

}  // namespace rowsmith::test
