#include "dialogs/dlg_edit_values2.h"

#include <QBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

#include "dialogs/dialog_parts.h"
#include "model/comma_items.h"

namespace rowsmith {

namespace {

constexpr int kMemoWidth = 201;
constexpr int kMemoHeight = 157;

}  // namespace

TdlgEditValues2::TdlgEditValues2(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgEditValues2");
    setWindowTitle("Edit Values");

    memValues = new QPlainTextEdit;
    memValues->setObjectName("memValues");
    memValues->setAccessibleName("Values");
    memValues->setMinimumSize(kMemoWidth, kMemoHeight);
    memValues->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memValues->setTabChangesFocus(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memValues, 1);
    layout->addLayout(MakeOkCancelRow(*this, btnOK, btnCancel, Qt::Horizontal));
    // OK and Cancel come first in the keyboard order, then the memo.
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, memValues);
}

void TdlgEditValues2::SetValues(const std::vector<std::string>& values) {
    QStringList lines;
    for (const std::string& value : values) {
        lines << QString::fromStdString(value);
    }
    QString text = lines.join(u'\n');
    // A last empty line must survive the reading back, which drops one.
    if (!values.empty() && values.back().empty()) {
        text += u'\n';
    }
    memValues->setPlainText(text);
}

std::string TdlgEditValues2::ValueSetText() const {
    QStringList lines = memValues->toPlainText().split(u'\n');
    if (lines.constLast().isEmpty()) {
        lines.removeLast();
    }
    std::vector<std::string> values;
    for (const QString& line : lines) {
        values.push_back(line.toStdString());
    }
    return JoinValueSet(values);
}

}  // namespace rowsmith
