// TdlgEditValues2: the value-set editor, "Edit Values", for a column filled at random from a set:
// the set's values one per line in memValues. The caller puts the values in with SetValues and,
// after OK, takes the set text back from ValueSetText; the dialog itself only has its buttons.
#pragma once

#include <QDialog>
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

    QPlainTextEdit* memValues = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};

}  // namespace rowsmith
