#include "dialogs/dlg_draft.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "common/application.h"
#include "common/hint_text.h"
#include "dialogs/dialog_parts.h"
#include "fill/draft/scenario_draft.h"

namespace rowsmith {

namespace {

constexpr const char* kChooseAlias = "Choose alias";
constexpr int kAliasWidth = 177;
constexpr int kTableColumnWidth = 200;
constexpr int kGridHeight = 240;
constexpr int kNotesHeight = 70;

QString Notes(const std::vector<std::string>& notes) {
    QString text;
    for (const std::string& note : notes) {
        text += QString::fromStdString(note) + "\n";
    }
    return text;
}

}  // namespace

TdlgDraft::TdlgDraft(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgDraft");
    setWindowTitle("New from Database");

    cbAlias = MakeNamedCombo("cbAlias", "Alias", kAliasWidth);
    sgTables = new QTableWidget(0, 2);
    sgTables->setObjectName("sgTables");
    sgTables->setAccessibleName("Tables");
    sgTables->setHorizontalHeaderLabels({"Table", "Records"});
    sgTables->horizontalHeader()->setStretchLastSection(true);
    sgTables->setColumnWidth(colTable, kTableColumnWidth);
    sgTables->verticalHeader()->hide();
    sgTables->setMinimumHeight(kGridHeight);
    SetHint(sgTables,
            "Tables in the order they are filled|Untick a table to leave it out; "
            "change a count by typing over it");
    memNotes = new QPlainTextEdit;
    memNotes->setObjectName("memNotes");
    memNotes->setAccessibleName("Notes");
    memNotes->setReadOnly(true);
    memNotes->setMaximumHeight(kNotesHeight);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeBuddyLabel("&Alias", cbAlias));
    layout->addWidget(cbAlias);
    layout->addWidget(MakeBuddyLabel("&Tables", sgTables));
    layout->addWidget(sgTables, 1);
    layout->addWidget(MakeBuddyLabel("&Notes", memNotes));
    layout->addWidget(memNotes);
    layout->addLayout(MakeOkCancelRow(*this, btnOK, btnCancel, Qt::Horizontal));
    btnOK->setEnabled(false);

    // Reading the alias's tables can fail; the error is shown before it could unwind through Qt.
    connect(cbAlias, &QComboBox::activated, this, Handled([this] { cbAliasChange(); }));
}

void TdlgDraft::SetAliases(const std::vector<std::string>& aliases) {
    cbAlias->clear();
    cbAlias->addItem(kChooseAlias);
    for (const std::string& alias : aliases) {
        cbAlias->addItem(QString::fromStdString(alias));
    }
    cbAlias->setCurrentIndex(0);
}

std::string TdlgDraft::AliasName() const {
    return cbAlias->currentIndex() > 0 ? cbAlias->currentText().toStdString() : std::string();
}

void TdlgDraft::cbAliasChange() {
    if (AliasName().empty()) {
        return;
    }
    const ScenarioDraft draft(AliasName(), {});
    sgTables->setRowCount(0);
    for (const ScenarioDraft::Table& table : draft.Tables()) {
        const int row = sgTables->rowCount();
        sgTables->insertRow(row);
        auto* name = new QTableWidgetItem(QString::fromStdString(table.name));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        name->setCheckState(Qt::Checked);
        sgTables->setItem(row, colTable, name);
        auto* records = new QTableWidgetItem;
        records->setData(Qt::EditRole, table.records);
        sgTables->setItem(row, colRecords, records);
    }
    memNotes->setPlainText(Notes(draft.Notes()));
    btnOK->setEnabled(sgTables->rowCount() > 0);
}

std::vector<std::pair<std::string, std::int32_t>> TdlgDraft::ChosenTables() const {
    std::vector<std::pair<std::string, std::int32_t>> tables;
    for (int row = 0; row < sgTables->rowCount(); ++row) {
        if (sgTables->item(row, colTable)->checkState() == Qt::Checked) {
            // The spin box of the grid lets a count go below zero; a table takes none then.
            const int records = sgTables->item(row, colRecords)->data(Qt::EditRole).toInt();
            tables.emplace_back(sgTables->item(row, colTable)->text().toStdString(),
                                std::max(records, 0));
        }
    }
    return tables;
}

void TdlgDraft::MakeScenario(TFillScenario& scenario, std::vector<std::string>& notes) const {
    const auto chosen = ChosenTables();
    std::vector<std::string> names;
    for (const auto& table : chosen) {
        names.push_back(table.first);
    }
    // Drafted again for the tables ticked: leaving a table out changes what the others refer to.
    ScenarioDraft draft(AliasName(), names);
    for (ScenarioDraft::Table& table : draft.Tables()) {
        for (const auto& [name, records] : chosen) {
            if (name == table.name) {
                table.records = records;
            }
        }
    }
    notes = draft.Notes();
    draft.Make(scenario);
}

}  // namespace rowsmith
