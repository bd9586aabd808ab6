// TSpinEdit: an integer field with spin buttons that, like the record count it shows, reports
// every change of its text, not only of a valid number: Value reads the text as a whole number,
// and a text that is none (an emptied field among them) counts as 0.
#pragma once

#include <QSpinBox>

namespace rowsmith {

class TSpinEdit : public QSpinBox {
    Q_OBJECT

public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    int Value() const;

signals:
    // The text changed: typed, spun, or set by the program to show another number.
    void Change();

protected:
    QValidator::State validate(QString& text, int& position) const override;
    int valueFromText(const QString& text) const override;
};

}  // namespace rowsmith
