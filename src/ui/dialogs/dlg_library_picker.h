// TdlgLibraryPicker: the library picker, "Value Libraries", for a column drawing from a value
// library and for the value-set editor's "Load from library...". It lists the libraries a name
// finds, the user's first and then the shipped ones (the same libraries `rowsmith-fill
// --list-libraries` lists), each with its number of values, where it comes from and its first
// values. The owner may preselect the current value, a library file's path included, and after
// OK takes back the name (or that path) and the file it is read from.
#pragma once

#include <QDialog>
#include <string>

#include "fill/library_finder.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace rowsmith {

class TdlgLibraryPicker : public QDialog {
    Q_OBJECT

public:
    // The columns of lvLibraries.
    enum Column { colName, colCount, colFrom, colFirstValues, kColumns };

    // Lists the libraries `finder` finds; a path is taken relative to `baseFolder` (the
    // scenario's folder, the current one when empty).
    explicit TdlgLibraryPicker(LibraryFinder finder = LibraryFinder(), std::string baseFolder = {},
                               QWidget* parent = nullptr);

    // Selects the library `value` names. A path not listed is added at the top, so the value
    // the column has can be kept; a name not found selects nothing.
    void Preselect(const std::string& value);
    // The selected library's name, or the path it was given by; empty when none is selected.
    std::string SelectedLibrary() const;
    // The file the selected library is read from; empty when none is selected.
    std::string SelectedFile() const;

    QTreeWidget* lvLibraries = nullptr;
    QLabel* lblDescription = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    // Adds the row of the library `name` read from `path`, at `position` (-1: at the end).
    QTreeWidgetItem* AddLibrary(const std::string& name, const std::string& path,
                                const QString& from, int position = -1);
    void lvLibrariesChange();

    LibraryFinder finder_;
    std::string baseFolder_;
};

}  // namespace rowsmith
