#include "dialogs/dlg_edit_values7.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <vector>

#include "common/application.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/sorted_list.h"
#include "engine/database_session.h"
#include "text/errors.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

constexpr int kListWidth = 145;
constexpr int kListHeight = 193;

}  // namespace

TdlgEditValues7::TdlgEditValues7(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgEditValues7");
    setWindowTitle("Edit Values");

    cbTables = MakeNamedCombo("cbTables", "Tables", kListWidth);
    lbFields = MakeNamedList("lbFields", "Fields", kListWidth, kListHeight);

    auto* lists = new QVBoxLayout;
    lists->addWidget(MakeBuddyLabel("Tables", cbTables));
    lists->addWidget(cbTables);
    lists->addSpacing(6);
    lists->addWidget(MakeBuddyLabel("Fields", lbFields));
    lists->addWidget(lbFields, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(MakeOkCancelRow(*this, btnOK, btnCancel, Qt::Vertical));
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, cbTables);
    setTabOrder(cbTables, lbFields);

    // Opening the table can fail; the error is shown before it could unwind through Qt.
    connect(cbTables, &QComboBox::activated, this, Handled([this] { ShowTable(); }));
    FormCreate();
}

TdlgEditValues7::~TdlgEditValues7() {
    FormDestroy();
}

void TdlgEditValues7::FormCreate() {
    table_.SetTableType(ttDefault);
    table_.SetExclusive(false);
}

void TdlgEditValues7::FormDestroy() {
    table_.Close();
}

void TdlgEditValues7::Initialise(const std::string& alias) {
    aliasName_ = alias;
    table_.SetDatabaseName(alias);
    std::vector<std::string> tables;
    DatabaseSession::Instance().ListTables(alias, false, tables);
    cbTables->clear();
    for (const std::string& name : tables) {
        InsertSorted(*cbTables, QString::fromStdString(name));
    }
    cbTables->setCurrentIndex(0);
    ShowTable();
}

void TdlgEditValues7::Preselect(const std::string& text) {
    const TableFieldParts parts = SplitTableField(text);
    cbTables->setCurrentIndex(
        cbTables->findText(QString::fromStdString(parts.table), Qt::MatchFixedString));
    ShowTable();
    const QList<QListWidgetItem*> found =
        lbFields->findItems(QString::fromStdString(parts.field), Qt::MatchFixedString);
    if (found.isEmpty()) {
        lbFields->setCurrentRow(-1);
    } else {
        lbFields->setCurrentItem(found.constFirst());
    }
}

std::string TdlgEditValues7::SelectedField() const {
    const QList<QListWidgetItem*> selected = lbFields->selectedItems();
    if (selected.isEmpty()) {
        throw EListError::OutOfBounds(-1);
    }
    return (cbTables->currentText() + u'.' + selected.constFirst()->text()).toStdString();
}

void TdlgEditValues7::ShowTable() {
    table_.SetTableName(cbTables->currentText().toStdString());
    table_.Open();
    std::vector<std::string> fields;
    table_.ListFieldNames(fields);
    lbFields->clear();
    for (const std::string& name : fields) {
        InsertSorted(*lbFields, QString::fromStdString(name));
    }
    table_.Close();
}

}  // namespace rowsmith
