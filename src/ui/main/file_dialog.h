// TFileDialog: an open or save file dialog that remembers the chosen file, as the main window's
// OpenDialog and SaveDialog. The filter is written as description and pattern pairs separated by
// "|" ("Rowsmith Scenario|*.scn"). A save dialog adds its default extension to a name typed
// without one and replaces an existing file without asking; an open dialog also accepts the name
// of a file that does not exist.
#pragma once

#include <QString>

class QWidget;

namespace rowsmith {

class TFileDialog {
public:
    enum class Kind { Open, Save };

    TFileDialog(Kind kind, QString filter, QString defaultExt = QString());

    // Shows the dialog modally through RunModal, in the folder InitialDir when one is set. True
    // when the user chose a file, which FileName then gives; on Cancel FileName keeps its former
    // value.
    bool Execute(QWidget* parent);

    Kind DialogKind() const { return kind_; }
    const QString& FileName() const { return fileName_; }
    const QString& InitialDir() const { return initialDir_; }
    void SetInitialDir(const QString& folder) { initialDir_ = folder; }

    // The filter in Qt's form: "Rowsmith Scenario (*.scn)".
    QString QtFilter() const;

private:
    QString WithDefaultExt(const QString& name) const;

    Kind kind_;
    QString filter_;
    QString defaultExt_;
    QString fileName_;
    QString initialDir_;
};

}  // namespace rowsmith
