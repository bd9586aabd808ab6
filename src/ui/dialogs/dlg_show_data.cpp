#include "dialogs/dlg_show_data.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "common/application.h"
#include "common/message_boxes.h"

namespace rowsmith {

TdlgShowData::TdlgShowData(QWidget* parent) : QDialog(parent) {
    FormCreate();
}

TdlgShowData::~TdlgShowData() {
    // The model lets go of the cursor before the cursor closes.
    dsResult->SetCursor(nullptr);
}

void TdlgShowData::FormCreate() {
    setWindowTitle("Tables Data");
    setSizeGripEnabled(true);
    resize(435, 300);

    auto* top = new QWidget(this);
    top->setFixedHeight(29);
    auto* label = new QLabel("Table", top);
    cbTables = new QComboBox(top);
    cbTables->setObjectName("cbTables");
    cbTables->setAccessibleName(label->text());
    cbTables->setMinimumWidth(145);
    label->setBuddy(cbTables);
    auto* topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(8, 2, 8, 2);
    topRow->addWidget(label);
    topRow->addWidget(cbTables);
    topRow->addStretch();

    dsResult = new TableDataModel(this);
    dbgResult = new QTableView(this);
    dbgResult->setObjectName("dbgResult");
    dbgResult->setAccessibleName("Table data");
    dbgResult->setModel(dsResult);
    dbgResult->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // One line of text per record, as compact as a data grid's rows.
    dbgResult->verticalHeader()->setDefaultSectionSize(dbgResult->fontMetrics().height() + 6);
    dbgResult->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(dbgResult);

    auto* deleteRecord = new QAction("Delete record", dbgResult);
    deleteRecord->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    deleteRecord->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    dbgResult->addAction(deleteRecord);
    // Opening a table and deleting a record reach the database and can fail; the error is shown
    // before it could unwind through Qt.
    connect(deleteRecord, &QAction::triggered, this, Handled([this] { DeleteCurrentRecord(); }));
    connect(cbTables, &QComboBox::activated, this, Handled([this] { ShowTable(); }));
    // A read that fails while the grid paints is shown once the painting is over.
    connect(
        dsResult, &TableDataModel::LoadFailed, this,
        [](const QString& message) { ShowErrorMessage(message.toStdString()); },
        Qt::QueuedConnection);
    connect(dbgResult->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex&, const QModelIndex& previous) { RowLeft(previous.row()); });
}

void TdlgShowData::SetTables(const std::vector<std::string>& tables) {
    cbTables->clear();
    for (const std::string& table : tables) {
        cbTables->addItem(QString::fromStdString(table));
    }
}

void TdlgShowData::ShowTable() {
    dsResult->SetCursor(nullptr);
    ATable.Close();
    ATable.SetTableName(cbTables->currentIndex() >= 0 ? cbTables->currentText().toStdString()
                                                      : std::string());
    ATable.Open();
    dsResult->SetCursor(&ATable);
    dbgResult->setCurrentIndex(dsResult->index(0, 0));
}

void TdlgShowData::DeleteCurrentRecord() {
    const QModelIndex current = dbgResult->currentIndex();
    if (!current.isValid() || !AskOkCancel("Delete record?")) {
        return;
    }
    dsResult->DeleteRecord(current.row());
}

void TdlgShowData::RowLeft(int row) {
    if (row == -1 || row != dsResult->PendingRow()) {
        return;
    }
    try {
        dsResult->Post();
    } catch (const std::exception& error) {
        // Shown once the view has finished moving, then the user is back on the record.
        const std::string message = error.what();
        QTimer::singleShot(0, this, [this, row, message] {
            const int column = std::max(dbgResult->currentIndex().column(), 0);
            dbgResult->setCurrentIndex(dsResult->index(row, column));
            ShowErrorMessage(message);
        });
    }
}

}  // namespace rowsmith
