#include "dialogs/dlg_edit_scen.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include "common/application.h"
#include "common/hint_text.h"
#include "common/screen_reader_label.h"
#include "common/tool_glyphs.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/sorted_list.h"
#include "engine/database_session.h"

namespace rowsmith {

namespace {

constexpr int kAllTablesWidth = 177;
constexpr int kScenTablesWidth = 161;
constexpr int kListHeight = 193;
constexpr int kButtonSize = 25;

QToolButton* MakeToolButton(const char* name, const char* caption, const char* hint) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(caption);
    button->setFixedSize(kButtonSize, kButtonSize);
    button->setFocusPolicy(Qt::NoFocus);
    SetHint(button, hint);
    button->setAccessibleName(ShortHint(hint));
    return button;
}

// The selected position of a single-selection list, or -1.
int SelectedRow(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.constFirst());
}

// Selects position `row`; a position outside the list is ignored, except -1, which clears the
// selection.
void SelectRow(QListWidget& list, int row) {
    if (row == -1) {
        list.setCurrentRow(-1);
        list.clearSelection();
    } else if (row >= 0 && row < list.count()) {
        list.setCurrentRow(row);
    }
}

void Exchange(QListWidget& list, int first, int second) {
    const QString text = list.item(first)->text();
    list.item(first)->setText(list.item(second)->text());
    list.item(second)->setText(text);
}

}  // namespace

TdlgEditScen::TdlgEditScen(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgEditScen");
    setWindowTitle("Edit scenario");

    cbAlias = MakeNamedCombo("cbAlias", "Alias", kAllTablesWidth);
    lbAllTables = MakeNamedList("lbAllTables", "Available tables", kAllTablesWidth, kListHeight);
    lbScenTables =
        MakeNamedList("lbScenTables", "Tables in scenario", kScenTablesWidth, kListHeight);

    sbAdd = MakeToolButton("sbAdd", ">", "Add table");
    sbDelete = MakeToolButton("sbDelete", "<", "Delete table");
    sbUp = MakeToolButton("sbUp", "", "Move table up");
    sbUp->setIcon(MoveUpGlyph());
    sbDown = MakeToolButton("sbDown", "", "Move table down");
    sbDown->setIcon(MoveDownGlyph());

    auto* left = new QVBoxLayout;
    left->addWidget(cbAlias);
    left->addSpacing(6);
    left->addWidget(MakeBuddyLabel("Available tables", lbAllTables));
    left->addWidget(lbAllTables, 1);

    auto* middle = new QVBoxLayout;
    middle->addSpacing(cbAlias->sizeHint().height() + 22);
    middle->addWidget(sbAdd);
    middle->addSpacing(15);
    middle->addWidget(sbDelete);
    middle->addStretch(1);

    auto* moves = new QHBoxLayout;
    moves->addWidget(sbUp);
    moves->addSpacing(15);
    moves->addWidget(sbDown);
    moves->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(MakeBuddyLabel("Tables in scenario", lbScenTables));
    right->addWidget(lbScenTables, 1);
    right->addLayout(moves);

    auto* lists = new QHBoxLayout;
    lists->addLayout(left, kAllTablesWidth);
    lists->addLayout(middle);
    lists->addLayout(right, kScenTablesWidth);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(CreateBottomPanel());
    NameForScreenReaders(*cbAlias, "Alias");

    // Listing the tables can fail; the error is shown before it could unwind through Qt.
    connect(cbAlias, &QComboBox::activated, this, Handled([this] { cbAliasChange(); }));
    connect(sbAdd, &QToolButton::clicked, this, &TdlgEditScen::AddTable);
    connect(lbAllTables, &QListWidget::itemDoubleClicked, this, &TdlgEditScen::AddTable);
    connect(sbDelete, &QToolButton::clicked, this, &TdlgEditScen::DelTable);
    connect(lbScenTables, &QListWidget::itemDoubleClicked, this, &TdlgEditScen::DelTable);
    connect(sbUp, &QToolButton::clicked, this, &TdlgEditScen::sbUpClick);
    connect(sbDown, &QToolButton::clicked, this, &TdlgEditScen::sbDownClick);

    // The buttons come first in the keyboard order, then the alias and the two lists.
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, cbAlias);
    setTabOrder(cbAlias, lbAllTables);
    setTabOrder(lbAllTables, lbScenTables);
    FormCreate();
}

QWidget* TdlgEditScen::CreateBottomPanel() {
    auto* panel = new QWidget;
    panel->setObjectName("pnlBottom");
    QBoxLayout* buttons = MakeOkCancelRow(*this, btnOK, btnCancel, Qt::Horizontal);
    buttons->setContentsMargins(0, 0, 0, 0);
    panel->setLayout(buttons);
    SetHint(btnOK, "Accept changes");
    SetHint(btnCancel, "Cancel changes");
    return panel;
}

void TdlgEditScen::FormCreate() {
    firstChoicePending_ = true;
}

void TdlgEditScen::SetAliases(const std::vector<std::string>& aliases) {
    cbAlias->clear();
    for (const std::string& alias : aliases) {
        cbAlias->addItem(QString::fromStdString(alias));
    }
    cbAlias->insertItem(0, kChooseAlias);
    cbAlias->setCurrentIndex(0);
}

std::string TdlgEditScen::AliasName() const {
    return cbAlias->currentText().toStdString();
}

std::vector<std::string> TdlgEditScen::ScenarioTables() const {
    std::vector<std::string> tables;
    for (int row = 0; row < lbScenTables->count(); ++row) {
        tables.push_back(lbScenTables->item(row)->text().toStdString());
    }
    return tables;
}

void TdlgEditScen::cbAliasChange() {
    if (firstChoicePending_) {
        if (cbAlias->currentIndex() == 0) {
            return;
        }
        cbAlias->removeItem(0);
        firstChoicePending_ = false;
    }
    std::vector<std::string> tables;
    DatabaseSession::Instance().ListTables(AliasName(), true, tables);
    // Cleared only now, so that a listing that fails leaves the former tables.
    lbAllTables->clear();
    for (const std::string& table : tables) {
        InsertSorted(*lbAllTables, QString::fromStdString(table));
    }
}

void TdlgEditScen::AddTable() {
    const int row = SelectedRow(*lbAllTables);
    if (row < 0) {
        return;
    }
    lbScenTables->addItem(lbAllTables->item(row)->text());
    delete lbAllTables->takeItem(row);
    SelectRow(*lbAllTables, -1);
    cbAlias->setEnabled(false);
}

void TdlgEditScen::DelTable() {
    const int row = SelectedRow(*lbScenTables);
    if (row < 0) {
        return;
    }
    InsertSorted(*lbAllTables, lbScenTables->item(row)->text());
    delete lbScenTables->takeItem(row);
    SelectRow(*lbScenTables, -1);
    cbAlias->setEnabled(lbScenTables->count() == 0);
}

void TdlgEditScen::sbUpClick() {
    const int row = SelectedRow(*lbScenTables);
    if (row > 0) {
        Exchange(*lbScenTables, row, row - 1);
    }
    // From the first table the selection goes; with none nothing changes.
    if (row >= 0) {
        SelectRow(*lbScenTables, row - 1);
    }
}

void TdlgEditScen::sbDownClick() {
    const int row = SelectedRow(*lbScenTables);
    if (row >= 0 && row < lbScenTables->count() - 1) {
        Exchange(*lbScenTables, row, row + 1);
    }
    // Past the last table the request is ignored; with none the first table is selected.
    SelectRow(*lbScenTables, row + 1);
}

}  // namespace rowsmith
