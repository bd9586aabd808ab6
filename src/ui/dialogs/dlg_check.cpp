#include "dialogs/dlg_check.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

namespace rowsmith {

namespace {

// The name columns fit their names, with some air, within these bounds; the reason takes the
// rest.
constexpr int kNameAir = 12;
constexpr int kNameMinWidth = 70;
constexpr int kNameMaxWidth = 160;
constexpr int kDialogWidth = 680;
constexpr int kDialogHeight = 300;

QTableWidgetItem* ReadOnlyItem(const std::string& text) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

TdlgCheck::TdlgCheck(QWidget* parent) : QDialog(parent) {
    FormCreate();
}

void TdlgCheck::FormCreate() {
    setObjectName("dlgCheck");
    setWindowTitle("Check scenario");
    setSizeGripEnabled(true);

    lblSummary = new QLabel;
    lblSummary->setObjectName("lblSummary");

    sgWarnings = new QTableWidget(0, 3);
    sgWarnings->setObjectName("sgWarnings");
    sgWarnings->setAccessibleName("Warnings");
    lblSummary->setBuddy(sgWarnings);
    sgWarnings->setHorizontalHeaderLabels({"Table", "Column", "Reason"});
    sgWarnings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgWarnings->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgWarnings->setSelectionMode(QAbstractItemView::SingleSelection);
    sgWarnings->verticalHeader()->hide();
    sgWarnings->horizontalHeader()->setStretchLastSection(true);
    // A reason is a sentence: it wraps within its column rather than hiding its end.
    sgWarnings->setWordWrap(true);
    sgWarnings->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(sgWarnings, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { sgWarningsActivated(index.row()); });

    btnClose = new QPushButton("Close");
    btnClose->setObjectName("btnClose");
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(sgWarnings, 1);
    layout->addLayout(buttons);
    resize(kDialogWidth, kDialogHeight);
}

void TdlgCheck::SetWarnings(const std::vector<LintWarning>& warnings) {
    warnings_ = warnings;
    sgWarnings->setRowCount(static_cast<int>(warnings.size()));
    for (int row = 0; row < sgWarnings->rowCount(); ++row) {
        const LintWarning& warning = warnings_[row];
        sgWarnings->setItem(row, colTable, ReadOnlyItem(warning.table));
        sgWarnings->setItem(row, colColumn, ReadOnlyItem(warning.column));
        sgWarnings->setItem(row, colReason, ReadOnlyItem(warning.reason));
    }
    for (const int column : {colTable, colColumn}) {
        sgWarnings->resizeColumnToContents(column);
        sgWarnings->setColumnWidth(column, std::clamp(sgWarnings->columnWidth(column) + kNameAir,
                                                      kNameMinWidth, kNameMaxWidth));
    }
    const QString count =
        warnings.size() == 1 ? QString("1 warning.") : QString("%1 warnings.").arg(warnings.size());
    lblSummary->setText(count + " Double-click a row to go to its table and column:");
    if (!warnings.empty()) {
        sgWarnings->setCurrentCell(0, colTable);
    }
}

void TdlgCheck::sgWarningsActivated(int row) {
    chosen_ = warnings_.at(static_cast<std::size_t>(row));
    accept();
}

}  // namespace rowsmith
