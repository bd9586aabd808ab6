#include "main/modal_hooks.h"

#include <QApplication>
#include <QMessageBox>

namespace rowsmith {

TModalHooks& ModalHooks() {
    static TModalHooks hooks;
    return hooks;
}

bool AskYesNo(const QString& text) {
    if (ModalHooks().askYesNo) {
        return ModalHooks().askYesNo(text);
    }
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    // Texts quote names from databases and files: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

void ShowErrorBox(const QString& text) {
    if (ModalHooks().showError) {
        ModalHooks().showError(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace rowsmith
