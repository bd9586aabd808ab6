#include "common/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "common/modal_run.h"
#include "text/errors.h"

namespace rowsmith {

bool AskYesNo(const QString& text) {
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    // Texts quote names from databases and files: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    return RunModal(box) == QMessageBox::Yes;
}

bool AskOkCancel(const QString& text) {
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::Ok | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    return RunModal(box) == QMessageBox::Ok;
}

void ShowInformation(const QString& text) {
    QMessageBox box(QMessageBox::Information, QApplication::applicationName(), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    RunModal(box);
}

void ShowErrorBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    RunModal(box);
}

void ShowErrorMessage(const std::string& message) {
    ShowErrorBox(QString::fromStdString(ErrorBoxText(message)));
}

}  // namespace rowsmith
