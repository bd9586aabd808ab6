#include "dialogs/dlg_edit_scen.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>

#include "common/application.h"
#include "common/hint_text.h"
#include "common/message_boxes.h"
#include "common/screen_reader_label.h"
#include "common/tool_glyphs.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/sorted_list.h"
#include "engine/database_session.h"
#include "engine/driver.h"
#include "model/reference_order.h"
#include "text/text_helpers.h"

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

// Whether every column of a foreign key may be NULL, so that its table can be filled first.
bool MayBeNull(const TableConstraints& constraints, const std::vector<std::string>& columns) {
    for (const std::string& column : columns) {
        for (const ColumnConstraint& constraint : constraints.columns) {
            if (constraint.notNull && SameText(constraint.name, column)) {
                return false;
            }
        }
    }
    return true;
}

// The foreign keys of `tables` as the alias's catalog gives them.
std::vector<TableReference> ReadReferences(const std::string& alias,
                                           const std::vector<std::string>& tables) {
    Connection& connection = DatabaseSession::Instance().Connect(alias);
    std::vector<TableReference> references;
    for (const std::string& table : tables) {
        const TableConstraints constraints = connection.ReadConstraints(table);
        for (const ForeignKey& key : constraints.foreignKeys) {
            references.push_back({table, key.parentTable, MayBeNull(constraints, key.columns)});
        }
    }
    return references;
}

// The item of `list` named `name` without regard to case, or null.
QListWidgetItem* FindTable(const QListWidget& list, const std::string& name) {
    for (int row = 0; row < list.count(); ++row) {
        if (SameText(list.item(row)->text().toStdString(), name)) {
            return list.item(row);
        }
    }
    return nullptr;
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

    btnOrderByReferences = new QPushButton("Order by References");
    btnOrderByReferences->setObjectName("btnOrderByReferences");
    SetHint(btnOrderByReferences,
            "Order the tables by their references|Puts every table after the tables it refers "
            "to, so that their records are there when it is filled");

    auto* moves = new QHBoxLayout;
    moves->addWidget(sbUp);
    moves->addSpacing(15);
    moves->addWidget(sbDown);
    moves->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(MakeBuddyLabel("Tables in scenario", lbScenTables));
    right->addWidget(lbScenTables, 1);
    right->addLayout(moves);
    right->addWidget(btnOrderByReferences, 0, Qt::AlignLeft);

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
    // Adding reads the table's references, which can fail as listing can.
    connect(sbAdd, &QToolButton::clicked, this, Handled([this] { AddTable(); }));
    connect(lbAllTables, &QListWidget::itemDoubleClicked, this, Handled([this] { AddTable(); }));
    connect(sbDelete, &QToolButton::clicked, this, &TdlgEditScen::DelTable);
    connect(lbScenTables, &QListWidget::itemDoubleClicked, this, &TdlgEditScen::DelTable);
    connect(sbUp, &QToolButton::clicked, this, &TdlgEditScen::sbUpClick);
    connect(sbDown, &QToolButton::clicked, this, &TdlgEditScen::sbDownClick);
    connect(btnOrderByReferences, &QPushButton::clicked, this,
            Handled([this] { btnOrderByReferencesClick(); }));

    // The buttons come first in the keyboard order, then the alias and the two lists.
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, cbAlias);
    setTabOrder(cbAlias, lbAllTables);
    setTabOrder(lbAllTables, lbScenTables);
    setTabOrder(lbScenTables, btnOrderByReferences);
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
    UpdateOrderButton();
}

void TdlgEditScen::UpdateOrderButton() {
    btnOrderByReferences->setEnabled(lbScenTables->count() > 1);
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
    const QString table = lbAllTables->item(row)->text();
    lbScenTables->addItem(table);
    delete lbAllTables->takeItem(row);
    SelectRow(*lbAllTables, -1);
    cbAlias->setEnabled(false);
    UpdateOrderButton();

    const QStringList missing = MissingReferred(table);
    if (missing.isEmpty() || !AskYesNo(AddReferredQuestion(table, missing))) {
        return;
    }
    int place = lbScenTables->count() - 1;
    for (const QString& parent : missing) {
        delete lbAllTables->takeItem(
            lbAllTables->row(FindTable(*lbAllTables, parent.toStdString())));
        lbScenTables->insertItem(place++, parent);
    }
    UpdateOrderButton();
}

QStringList TdlgEditScen::MissingReferred(const QString& table) const {
    std::vector<std::string> missing;
    std::vector<TableReference> references;
    std::vector<std::string> toRead{table.toStdString()};
    while (!toRead.empty()) {
        const std::vector<TableReference> read = ReadReferences(AliasName(), toRead);
        toRead.clear();
        for (const TableReference& reference : read) {
            const QListWidgetItem* parent = FindTable(*lbAllTables, reference.parent);
            if (parent == nullptr) {
                // In the scenario already, or not a table of this alias.
                continue;
            }
            const std::string name = parent->text().toStdString();
            references.push_back({reference.child, name, reference.nullable});
            if (std::none_of(missing.begin(), missing.end(),
                             [&](const std::string& known) { return known == name; })) {
                missing.push_back(name);
                toRead.push_back(name);
            }
        }
    }
    // By name where no reference decides, whatever order the catalog lists its keys in.
    std::sort(missing.begin(), missing.end(),
              [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    QStringList ordered;
    for (const std::string& name : OrderByReferences(missing, references).tables) {
        ordered << QString::fromStdString(name);
    }
    return ordered;
}

QString TdlgEditScen::AddReferredQuestion(const QString& table, const QStringList& missing) {
    if (missing.size() == 1) {
        return "The table that '" + table +
               "' refers to is not in the scenario: " + missing.front() + ". Add it?";
    }
    return "Tables that '" + table + "' refers to are not in the scenario: " + missing.join(", ") +
           ". Add them?";
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
    UpdateOrderButton();
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

void TdlgEditScen::btnOrderByReferencesClick() {
    const std::vector<std::string> tables = ScenarioTables();
    const int row = SelectedRow(*lbScenTables);
    const QString selected = row >= 0 ? lbScenTables->item(row)->text() : QString();
    const ReferenceOrder order = OrderByReferences(tables, ReadReferences(AliasName(), tables));
    for (int i = 0; i < lbScenTables->count(); ++i) {
        lbScenTables->item(i)->setText(
            QString::fromStdString(order.tables[static_cast<std::size_t>(i)]));
    }
    if (row >= 0) {
        SelectRow(*lbScenTables,
                  lbScenTables->row(lbScenTables->findItems(selected, Qt::MatchExactly).front()));
    }
}

}  // namespace rowsmith
