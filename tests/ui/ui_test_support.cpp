#include "ui_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>

#include "common/modal_run.h"

namespace rowsmith::test {

ModalAnswers::ModalAnswers() {
    SetModalAnswer([this](QDialog& dialog) { return Answer(dialog); });
}

ModalAnswers::~ModalAnswers() {
    SetModalAnswer({});
}

int ModalAnswers::Answer(QDialog& dialog) {
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        if (box->icon() == QMessageBox::Question) {
            questions << box->text();
            if (box->standardButtons() & QMessageBox::Ok) {
                return answerYes ? QMessageBox::Ok : QMessageBox::Cancel;
            }
            return answerYes ? QMessageBox::Yes : QMessageBox::No;
        }
        (box->icon() == QMessageBox::Information ? messages : errors) << box->text();
        return QMessageBox::Ok;
    }
    if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
        const bool save = files->acceptMode() == QFileDialog::AcceptSave;
        fileDialogs << (save ? TFileDialog::Kind::Save : TFileDialog::Kind::Open);
        fileDialogFolders << files->directory().absolutePath();
        if (!chosenFile) {
            return QDialog::Rejected;
        }
        // Chosen and typed into the name field, as a person would; the choice clears what the
        // dialog offered, the typing takes names in folders that do not exist.
        files->selectFile(*chosenFile);
        auto* name = files->findChild<QLineEdit*>("fileNameEdit");
        if (name == nullptr) {
            QTest::qFail("the file dialog has no name field", __FILE__, __LINE__);
            return QDialog::Rejected;
        }
        name->setText(*chosenFile);
        return QDialog::Accepted;
    }
    dialogs << dialog.windowTitle();
    return answerDialog ? answerDialog(dialog) : int(QDialog::Rejected);
}

void Trigger(QAction* item) {
    QMetaObject::invokeMethod(item, &QAction::trigger, Qt::QueuedConnection);
    QCoreApplication::processEvents();
}

QStringList Items(const QComboBox& combo) {
    QStringList items;
    for (int i = 0; i < combo.count(); ++i) {
        items << combo.itemText(i);
    }
    return items;
}

QStringList Items(const QListWidget& list) {
    QStringList items;
    for (int i = 0; i < list.count(); ++i) {
        items << list.item(i)->text();
    }
    return items;
}

void ShowAndWait(QWidget& window) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

}  // namespace rowsmith::test
