#include "main/spin_edit.h"

#include <QLineEdit>
#include <limits>

namespace rowsmith {

namespace {

// An emptied field, or one holding only a sign, is no number yet.
bool CountsAsZero(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() || trimmed == "-" || trimmed == "+";
}

}  // namespace

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

// A text that counts as 0 is a value of its own: otherwise the spin box would put its last number
// back when the field is left, silently, while the count held stays 0. So leaving the field shows
// the 0 it holds, and the spin buttons step from it.
QValidator::State TSpinEdit::validate(QString& text, int& position) const {
    if (CountsAsZero(text)) {
        return QValidator::Acceptable;
    }
    return QSpinBox::validate(text, position);
}

int TSpinEdit::valueFromText(const QString& text) const {
    return CountsAsZero(text) ? 0 : QSpinBox::valueFromText(text);
}

}  // namespace rowsmith
