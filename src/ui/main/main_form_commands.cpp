// TMainForm: the command states, the window's events and the small commands.
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "common/application.h"
#include "common/fit_to_screen.h"
#include "common/message_boxes.h"
#include "common/modal_run.h"
#include "dialogs/about_box.h"
#include "dialogs/dlg_check.h"
#include "dialogs/dlg_show_data.h"
#include "dialogs/help_viewer.h"
#include "fill/fill_stopped.h"
#include "fill/scenario_lint.h"
#include "main/busy_cursor.h"
#include "main/data_folder.h"
#include "main/fill_stopper.h"
#include "main/hint_router.h"
#include "main/main_form.h"
#include "main/status_panel.h"
#include "text/errors.h"

namespace rowsmith {

void TMainForm::ConnectCommands() {
    const auto bind = [this](QAction* item, QToolButton* button, void (TMainForm::*command)()) {
        // The command's error is shown before it could unwind through Qt (see RunHandler).
        const auto run = Handled([this, command] { (this->*command)(); });
        if (item != nullptr) {
            connect(item, &QAction::triggered, this, run);
        }
        if (button != nullptr) {
            connect(button, &QToolButton::clicked, this, run);
        }
    };
    bind(miNewScenario, siNewScenario, &TMainForm::NewScenario);
    bind(miNewFromDatabase, nullptr, &TMainForm::NewFromDatabase);
    bind(miOpenScenario, siOpenScenario, &TMainForm::OpenScenario);
    bind(miSaveScenario, siSaveScenario, &TMainForm::SaveScenario);
    bind(miSaveScenarioAs, nullptr, &TMainForm::SaveScenarioAs);
    bind(miFillup, siFillUp, &TMainForm::FillUp);
    bind(miShowData, siShowData, &TMainForm::ShowData);
    bind(miCheck, nullptr, &TMainForm::Check);
    bind(miExit, nullptr, &TMainForm::miExitClick);
    bind(Contents1, nullptr, &TMainForm::Contents1Click);
    bind(About1, nullptr, &TMainForm::About1Click);
    connect(cbTables, &QComboBox::activated, this, Handled([this] { ShowFillTable(); }));
    connect(pnlMain, &TSettingsPanel::Modified, this, [this] { SetModified(true); });
}

void TMainForm::UpdateCommands() {
    const bool hasScenario = document_->HasScenario();
    for (QAction* item : {miFillup, miCheck, miSaveScenarioAs, miShowData}) {
        item->setEnabled(hasScenario);
    }
    siFillUp->setEnabled(hasScenario);
    siShowData->setEnabled(hasScenario);
    miSaveScenario->setEnabled(document_->Modified());
    siSaveScenario->setEnabled(document_->Modified());
}

void TMainForm::SetModified(bool modified) {
    document_->SetModified(modified);
    siSaveScenario->setEnabled(modified);
    miSaveScenario->setEnabled(modified);
    if (modified) {
        miSaveScenarioAs->setEnabled(true);
    }
}

void TMainForm::CheckSaveChanges() {
    if (!document_->Modified()) {
        return;
    }
    if (AskYesNo("Scenario was changed. Save changes?")) {
        SaveScenario();
    }
}

void TMainForm::DisplayHint() {
    // During a fill the panel names the table being filled, beside its progress bar.
    if (!fillProgress_->Running()) {
        StatusBar->SetCaption(hintRouter_->Hint());
    }
}

void TMainForm::FillUp() {
    fillProgress_->StartRun();
    try {
        const TFillStopper running(*this, std::vector<QWidget*>{menuBar(), SpeedBar, pnlMain},
                                   *fillProgress_, document_->Filler());
        document_->Filler().FillUp();
    } catch (const EFillStopped& stopped) {
        // A stop asked for says itself where it stopped and what was kept.
        fillProgress_->FinishRun(false);
        StatusBar->SetCaption(QString::fromStdString(ErrorBoxText(stopped.what())));
        throw;
    } catch (...) {
        // What was done stays in the panel until the next hint; the error goes on to its box.
        if (const QString stopped = fillProgress_->FinishRun(false); !stopped.isEmpty()) {
            StatusBar->SetCaption(stopped);
        }
        throw;
    }
    StatusBar->SetCaption(fillProgress_->FinishRun(true));
}

void TMainForm::ShowData() {
    TdlgShowData viewer;
    const TFillScenario& scenario = document_->Scenario();
    viewer.ATable.SetDatabaseName(scenario.AliasName());
    std::vector<std::string> tables;
    for (int i = 0; i < scenario.Tables().Count(); ++i) {
        tables.push_back(scenario.Tables().Items(i).TableName());
    }
    viewer.SetTables(tables);
    viewer.cbTables->setCurrentIndex(tables.empty() ? -1 : 0);
    // When the first table does not open, the error leaves here and the viewer never shows.
    viewer.ShowTable();
    RunModal(viewer);
}

void TMainForm::Check() {
    std::vector<LintWarning> warnings;
    {
        const TBusyCursor busy;
        // Library paths are relative to the scenario file, as in the fill.
        warnings = LintScenario(document_->Scenario(), document_->Filler().ScenarioFolder());
    }
    if (warnings.empty()) {
        ShowInformation("No problems found.");
        return;
    }
    TdlgCheck dialog(this);
    dialog.SetWarnings(warnings);
    if (RunModal(dialog) == QDialog::Accepted && dialog.Chosen()) {
        GoToColumn(dialog.Chosen()->table, dialog.Chosen()->column);
    }
}

void TMainForm::miExitClick() {
    close();
}

void TMainForm::Contents1Click() {
    if (helpViewer_ == nullptr) {
        helpViewer_ = new THelpViewer(this);
        FitToScreen(*helpViewer_);
    }
    // Without a help folder the viewer names the place beside the program where it belongs.
    QString helpFolder = FindDataFolder("help");
    if (helpFolder.isEmpty()) {
        helpFolder = QDir(QCoreApplication::applicationDirPath()).filePath("help");
    }
    helpViewer_->ShowHelpFile(QDir(helpFolder).filePath(kHelpFileName));
    helpViewer_->show();
    helpViewer_->raise();
    helpViewer_->activateWindow();
}

void TMainForm::About1Click() {
    TAboutBox box(this);
    RunModal(box);
}

void TMainForm::FormShow() {
    UpdateCommands();
    pnlMain->FitColumns();
}

void TMainForm::FormResize() {
    pnlMain->FitColumns();
}

void TMainForm::FormClose() {
    CheckSaveChanges();
    SaveWindowGeometry();
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
    // Exit, the window system's close and the end of the session all come here. A save that
    // fails shows its error as any command's does and keeps the window open, the scenario unsaved.
    event->ignore();
    RunHandler([this, event] {
        FormClose();
        event->accept();
    });
}

}  // namespace rowsmith
