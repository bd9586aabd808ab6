// TMainForm: the scenario commands New, Open, Save and Save As, and showing a scenario.
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <cerrno>
#include <system_error>

#include "common/application.h"
#include "common/message_boxes.h"
#include "common/modal_run.h"
#include "dialogs/dlg_draft.h"
#include "dialogs/dlg_edit_scen.h"
#include "engine/database_session.h"
#include "main/data_folder.h"
#include "main/field_grid.h"
#include "main/main_form.h"
#include "text/errors.h"

namespace rowsmith {

void TMainForm::NewScenario() {
    CheckSaveChanges();
    TdlgEditScen dialog(this);
    std::vector<std::string> aliases;
    DatabaseSession::Instance().ListAliases(aliases);
    dialog.SetAliases(aliases);
    if (RunModal(dialog) == QDialog::Accepted) {
        HideTables();
        document_->New(dialog.AliasName(), dialog.ScenarioTables());
        SetModified(true);
        ShowScenario();
    }
    UpdateCommands();
}

void TMainForm::NewFromDatabase() {
    CheckSaveChanges();
    TdlgDraft dialog(this);
    std::vector<std::string> aliases;
    DatabaseSession::Instance().ListAliases(aliases);
    dialog.SetAliases(aliases);
    if (RunModal(dialog) == QDialog::Accepted && !dialog.AliasName().empty()) {
        std::vector<std::string> notes;
        TFillScenario draft;
        dialog.MakeScenario(draft, notes);
        HideTables();
        document_->NewDraft(draft);
        SetModified(true);
        ShowScenario();
        if (!notes.empty()) {
            QString text;
            for (const std::string& note : notes) {
                text += QString::fromStdString(note) + "\n";
            }
            ShowInformation(text.trimmed());
        }
    }
    UpdateCommands();
    pnlMain->FitColumns();
}

void TMainForm::OpenScenario() {
    OpenDialog.SetInitialDir(ScenarioFolder());
    if (OpenDialog.Execute(this)) {
        LoadScenario(OpenDialog.FileName());
    }
    UpdateCommands();
    pnlMain->FitColumns();
}

void TMainForm::OpenScenarioFile(const QString& path) {
    // Open makes a new, empty scenario under a name that is not there yet; a file named on the
    // command line is meant to be there, and showing it empty would hide the mistyped name.
    if (const QFileInfo file(path); !file.isFile()) {
        throw EFOpenError("Cannot open file " + path.toStdString() + ": " +
                          std::generic_category().message(file.exists() ? EISDIR : ENOENT));
    }
    LoadScenario(path);
    UpdateCommands();
    pnlMain->FitColumns();
}

void TMainForm::LoadScenario(const QString& path) {
    HideTables();
    document_->Open(path.toStdString());
    ShowScenario();
}

void TMainForm::SaveScenario() {
    if (document_->IsUnnamed()) {
        SaveScenarioAs();
    } else {
        WriteScenario(document_->FileName());
    }
}

void TMainForm::SaveScenarioAs() {
    SaveDialog.SetInitialDir(ScenarioFolder());
    if (const std::optional<std::string> path = ChooseSaveName()) {
        document_->SetFileName(*path);
        WriteScenario(*path);
    }
}

std::optional<std::string> TMainForm::ChooseSaveName() {
    if (!SaveDialog.Execute(this)) {
        return std::nullopt;
    }
    return SaveDialog.FileName().toStdString();
}

void TMainForm::WriteScenario(const std::string& fileName) {
    document_->Write(fileName);
    SetModified(false);
}

void TMainForm::ShowScenario() {
    FillEngine& filler = document_->Filler();
    filler.CloseWorkTable();
    const QString alias = QString::fromStdString(document_->Scenario().AliasName());
    lbAlias->setText(alias);
    setWindowTitle(QString(kApplicationTitle) + " - " +
                   QString::fromStdString(document_->FileName()));
    pnlRight->show();
    const TFTList& tables = document_->Scenario().Tables();
    if (tables.Count() == 0) {
        return;
    }
    cbTables->clear();
    for (int i = 0; i < tables.Count(); ++i) {
        cbTables->addItem(QString::fromStdString(tables.Items(i).TableName()));
    }
    cbTables->setCurrentIndex(0);
    ShowFillTable();
}

void TMainForm::ShowFillTable() {
    pnlMain->Clear();
    FillEngine& filler = document_->Filler();
    filler.BindTable(document_->Scenario().Tables().Items(cbTables->currentIndex()));
    // Settings of columns the table no longer has go, so that each row shows its own column's
    // setting and a save writes the repaired scenario.
    if (filler.DropOrphanSettings()) {
        SetModified(true);
    }
    pnlMain->ShowTable(filler, document_->Scenario().AliasName());
}

void TMainForm::GoToColumn(const std::string& table, const std::string& column) {
    const int index = cbTables->findText(QString::fromStdString(table),
                                         Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index < 0) {
        return;
    }
    cbTables->setCurrentIndex(index);
    ShowFillTable();
    if (!column.empty()) {
        const QModelIndexList rows = FieldModel().match(
            FieldModel().index(0, colFieldName), Qt::DisplayRole, QString::fromStdString(column), 1,
            Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (!rows.isEmpty()) {
            sgFields->setCurrentIndex(rows.front().siblingAtColumn(colFillMethod));
        }
    }
    sgFields->setFocus();
}

void TMainForm::HideTables() {
    pnlMain->Clear();
    cbTables->clear();
}

QString TMainForm::ScenarioFolder() const {
    if (document_->HasScenario() && !document_->IsUnnamed()) {
        const QFileInfo file(QString::fromStdString(document_->FileName()));
        if (file.absoluteDir().exists()) {
            return file.absolutePath();
        }
    }
    if (const QString examples = FindDataFolder("examples"); !examples.isEmpty()) {
        return examples;
    }
    return QDir::homePath();
}

}  // namespace rowsmith
