#include "dialogs/dialog_parts.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace rowsmith {

namespace {

// How many characters of the current item a narrow drop-down list shows.
constexpr int kComboShownChars = 16;

}  // namespace

QBoxLayout* MakeOkCancelRow(QDialog& dialog, QPushButton*& ok, QPushButton*& cancel,
                            Qt::Orientation orientation) {
    ok = new QPushButton("OK");
    ok->setObjectName("btnOK");
    ok->setDefault(true);
    cancel = new QPushButton("Cancel");
    cancel->setObjectName("btnCancel");
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

    const bool row = orientation == Qt::Horizontal;
    auto* layout = new QBoxLayout(row ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    if (row) {
        layout->addStretch(1);
    }
    layout->addWidget(ok);
    layout->addWidget(cancel);
    if (!row) {
        layout->addStretch(1);
    }
    return layout;
}

QLabel* MakeBuddyLabel(const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

QListWidget* MakeNamedList(const char* name, const QString& accessibleName, int width, int height) {
    auto* list = new QListWidget;
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMinimumSize(width, height);
    return list;
}

QComboBox* MakeNamedCombo(const char* name, const QString& accessibleName, int width) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    combo->setAccessibleName(accessibleName);
    combo->setMinimumWidth(width);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(kComboShownChars);
    return combo;
}

}  // namespace rowsmith
