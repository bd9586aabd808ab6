// TdlgEditValues2: the value-set editor, "Edit Values", for a column filled at random from a set:
// the set's values one per line in memValues. The caller puts the values in with SetValues and,
// after OK, takes the set text back from ValueSetText. "Load from library..." replaces the memo's
// lines by a library's values; "Save as library..." writes them as a library of the user's.
#pragma once

#include <QDialog>
#include <QStringList>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace rowsmith {

class TdlgEditValues2 : public QDialog {
    Q_OBJECT

public:
    explicit TdlgEditValues2(QWidget* parent = nullptr);

    // One value per line, in set order.
    void SetValues(const std::vector<std::string>& values);
    // The lines from first to last joined into a set text that reads back as the same lines: a
    // line holding a blank, a control character, a quote or a comma is quoted, a last empty line
    // does not count, no lines give the empty text. A line wrapped at the memo's width is one
    // line.
    std::string ValueSetText() const;

    // Replaces the lines by the values of a library chosen in the library picker, each once in
    // the library's order (a set draws its lines evenly, so weights do not come along).
    void btnLoadLibraryClick();
    // Asks a name and writes the lines as the library of that name in the user's folder, after
    // asking before it replaces one. Refuses an empty name, a name holding "/", and lines a
    // library cannot hold as values: blank ones and those starting with "#".
    void btnSaveLibraryClick();

    QPlainTextEdit* memValues = nullptr;
    QPushButton* btnLoadLibrary = nullptr;
    QPushButton* btnSaveLibrary = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    // The memo's lines, a last empty one left out.
    QStringList Lines() const;
};

}  // namespace rowsmith
