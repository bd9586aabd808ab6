// Helpers of the UI tests: answers for every modal dialog, a main window whose scenario commands
// only record that they ran, and the entry point of a test program.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <optional>

#include "common/application.h"
#include "main/file_dialog.h"
#include "main/main_form.h"

class QComboBox;
class QListWidget;

namespace rowsmith::test {

// Answers every modal dialog while it lives, through the one modal hook, and records what was
// asked or told. Message boxes and file dialogs get the answers set here; any other dialog goes to
// `answerDialog` (none set: it is cancelled).
class ModalAnswers {
public:
    ModalAnswers();
    ~ModalAnswers();
    ModalAnswers(const ModalAnswers&) = delete;
    ModalAnswers& operator=(const ModalAnswers&) = delete;

    // The question boxes' answer: Yes, or OK where the box asks OK or Cancel.
    bool answerYes = false;
    // The file dialogs' answer: the name typed, or nothing for Cancel.
    std::optional<QString> chosenFile;
    // Plays the user in any other dialog and gives its result.
    std::function<int(QDialog& dialog)> answerDialog;

    QStringList questions;
    QStringList messages;
    QStringList errors;
    QList<TFileDialog::Kind> fileDialogs;
    // The folder each file dialog opened in.
    QStringList fileDialogFolders;
    // The titles of the other dialogs, in the order they were shown.
    QStringList dialogs;

private:
    int Answer(QDialog& dialog);
};

// A main window whose scenario commands record their names; FillUp may be given something to do.
class RecordingForm : public TMainForm {
public:
    QStringList calls;
    std::function<void()> fillUpAction;

    void NewScenario() override { calls << "NewScenario"; }
    void NewFromDatabase() override { calls << "NewFromDatabase"; }
    void OpenScenario() override { calls << "OpenScenario"; }
    void SaveScenario() override { calls << "SaveScenario"; }
    void SaveScenarioAs() override { calls << "SaveScenarioAs"; }
    void ShowData() override { calls << "ShowData"; }
    void FillUp() override {
        calls << "FillUp";
        if (fillUpAction) {
            fillUpAction();
        }
    }
};

// The items of a list or combo box from first to last.
QStringList Items(const QComboBox& combo);
QStringList Items(const QListWidget& list);

// Shows a window and waits until it is on screen.
void ShowAndWait(QWidget& window);

// Runs the menu item as a click on it does: from the event loop, so that an error it raises
// reaches the application's handler.
void Trigger(QAction* item);

// Runs the test class inside the program's own application object, so that its error handler is
// the one under test.
template <typename TestClass>
int RunUiTest(int argc, char** argv) {
    // The window keeps its place between runs in the user's config folder: each test program
    // starts from none.
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    TApplication application(argc, argv);
    // Tests close windows one after the other; that must not end the application.
    application.setQuitOnLastWindowClosed(false);
    TestClass test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace rowsmith::test

#define ROWSMITH_UI_TEST_MAIN(TestClass)                                         \
    int main(int argc, char** argv) {                                            \
        return rowsmith::test::RunUiTest<rowsmith::test::TestClass>(argc, argv); \
    }
