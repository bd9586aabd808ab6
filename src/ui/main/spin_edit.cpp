#include "main/spin_edit.h"

#include <QLineEdit>
#include <limits>

namespace rowsmith {

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent) {
    setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    // The spin box reports the numbers it shows; its field reports every text typed, an emptied
    // one among them. A typed number comes through both, which is harmless.
    connect(this, &QSpinBox::textChanged, this, &TSpinEdit::Change);
    connect(lineEdit(), &QLineEdit::textChanged, this, &TSpinEdit::Change);
}

int TSpinEdit::Value() const {
    bool number = false;
    const int value = lineEdit()->text().trimmed().toInt(&number);
    return number ? value : 0;
}

}  // namespace rowsmith
