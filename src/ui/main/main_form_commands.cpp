// TMainForm: the command states, the window's events and the small commands.
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QTableWidget>
#include <QToolButton>

#include "dialogs/help_viewer.h"
#include "main/application.h"
#include "main/fit_last_column.h"
#include "main/hint_router.h"
#include "main/main_form.h"
#include "main/modal_hooks.h"
#include "main/status_panel.h"

namespace rowsmith {

void TMainForm::ConnectCommands() {
    const auto bind = [this](QAction* item, QToolButton* button, void (TMainForm::*command)()) {
        // The command's error is shown before it could unwind through Qt (see RunHandler).
        const auto run = [this, command] { RunHandler([this, command] { (this->*command)(); }); };
        if (item != nullptr) {
            connect(item, &QAction::triggered, this, run);
        }
        if (button != nullptr) {
            connect(button, &QToolButton::clicked, this, run);
        }
    };
    bind(miNewScenario, siNewScenario, &TMainForm::NewScenario);
    bind(miOpenScenario, siOpenScenario, &TMainForm::OpenScenario);
    bind(miSaveScenario, siSaveScenario, &TMainForm::SaveScenario);
    bind(miSaveScenarioAs, nullptr, &TMainForm::SaveScenarioAs);
    bind(miFillup, siFillUp, &TMainForm::FillUp);
    bind(miShowData, siShowData, &TMainForm::ShowData);
    bind(miExit, nullptr, &TMainForm::miExitClick);
    bind(Contents1, nullptr, &TMainForm::Contents1Click);
    bind(About1, nullptr, &TMainForm::About1Click);
}

void TMainForm::UpdateCommands() {
    const bool hasScenario = !ScenarioFileName.empty();
    miFillup->setEnabled(hasScenario);
    siFillUp->setEnabled(hasScenario);
    miSaveScenarioAs->setEnabled(miFillup->isEnabled());
    miShowData->setEnabled(miFillup->isEnabled());
    siShowData->setEnabled(miFillup->isEnabled());
    siSaveScenario->setEnabled(miSaveScenario->isEnabled());
}

void TMainForm::SetModified(bool modified) {
    siSaveScenario->setEnabled(modified);
    miSaveScenario->setEnabled(modified);
    if (modified) {
        miSaveScenarioAs->setEnabled(true);
    }
}

void TMainForm::CheckSaveChanges() {
    if (!siSaveScenario->isEnabled()) {
        return;
    }
    if (AskYesNo("Scenario was changed. Save changes?")) {
        SaveScenario();
    }
}

void TMainForm::DisplayHint() {
    StatusBar->SetCaption(hintRouter_->Hint());
}

void TMainForm::NewScenario() {}

void TMainForm::OpenScenario() {}

void TMainForm::SaveScenario() {}

void TMainForm::SaveScenarioAs() {}

void TMainForm::FillUp() { Filler->FillUp(); }

void TMainForm::ShowData() {}

void TMainForm::miExitClick() {
    close();
}

void TMainForm::Contents1Click() {
    if (helpViewer_ == nullptr) {
        helpViewer_ = new THelpViewer(this);
    }
    helpViewer_->ShowHelpFile(QDir(QCoreApplication::applicationDirPath()).filePath(kHelpFileName));
    helpViewer_->show();
    helpViewer_->raise();
    helpViewer_->activateWindow();
}

void TMainForm::About1Click() {}

void TMainForm::FormShow() {
    UpdateCommands();
    FitLastColumn(*sgFields);
}

void TMainForm::FormResize() {
    FitLastColumn(*sgFields);
}

void TMainForm::FormClose() {
    CheckSaveChanges();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sgFields->viewport() && event->type() == QEvent::Resize) {
        FitLastColumn(*sgFields);
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace rowsmith
