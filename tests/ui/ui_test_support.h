// Helpers of the UI tests: answers for the modal boxes and file dialogs, a main window whose
// scenario commands only record that they ran, and the entry points of the test classes.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "main/file_dialog.h"
#include "main/main_form.h"
#include "main/modal_hooks.h"

namespace rowsmith::test {

// Answers every modal box and file dialog while it lives, and records what was asked.
class ModalAnswers {
public:
    ModalAnswers() {
        ModalHooks().askYesNo = [this](const QString& text) {
            questions << text;
            return answerYes;
        };
        ModalHooks().showError = [this](const QString& text) { errors << text; };
        ModalHooks().chooseFile = [this](const TFileDialog& dialog) {
            fileDialogs << dialog.DialogKind();
            return chosenFile;
        };
    }
    ~ModalAnswers() { ModalHooks() = TModalHooks(); }

    bool answerYes = false;
    std::optional<QString> chosenFile;
    QList<TFileDialog::Kind> fileDialogs;
    QStringList questions;
    QStringList errors;
};

// A main window whose scenario commands record their names; FillUp may be given something to do.
class RecordingForm : public TMainForm {
public:
    QStringList calls;
    std::function<void()> fillUpAction;

    void NewScenario() override { calls << "NewScenario"; }
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

int RunApplicationTests(int argc, char** argv);
int RunDlgLoginTests(int argc, char** argv);
int RunFileDialogTests(int argc, char** argv);
int RunFillUpTests(int argc, char** argv);
int RunHelpViewerTests(int argc, char** argv);
int RunHintTests(int argc, char** argv);
int RunMainFormTests(int argc, char** argv);
int RunStatusProgressTests(int argc, char** argv);

}  // namespace rowsmith::test
