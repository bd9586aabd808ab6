#include "dialogs/dialog_buttons.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

namespace rowsmith {

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

}  // namespace rowsmith
