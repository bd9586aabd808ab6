#include "dialogs/dlg_show_data.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScrollBar>
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
    // The grid and the scroll bar over the whole table share one frame, as a grid and its own
    // scroll bar do.
    auto* gridFrame = new QFrame(this);
    dbgResult = new QTableView(gridFrame);
    gridFrame->setFrameStyle(dbgResult->frameStyle());
    dbgResult->setFrameShape(QFrame::NoFrame);
    dbgResult->setObjectName("dbgResult");
    dbgResult->setAccessibleName("Table data");
    dbgResult->setModel(dsResult);
    dbgResult->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // One line of text per record, as compact as a data grid's rows.
    dbgResult->verticalHeader()->setDefaultSectionSize(dbgResult->fontMetrics().height() + 6);
    dbgResult->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    sbRecords = new QScrollBar(Qt::Vertical, gridFrame);
    sbRecords->setObjectName("sbRecords");
    sbRecords->setAccessibleName("Records");
    scroller = new RecordScroller(*dbgResult, *dsResult, *sbRecords);
    auto* gridRow = new QHBoxLayout(gridFrame);
    gridRow->setContentsMargins(0, 0, 0, 0);
    gridRow->setSpacing(0);
    gridRow->addWidget(dbgResult);
    gridRow->addWidget(sbRecords);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(gridFrame);

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
    // A current cell that goes away while the window moves is no row the user came to.
    connect(dbgResult->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    RowEntered(dsResult->TableRow(current.row()));
                }
            });
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
    const int row = scroller->CurrentRecord();
    if (row == -1 || !AskOkCancel("Delete record?")) {
        return;
    }
    // The grid scrolled away from the record may show it again first.
    scroller->GoToRecord(row, std::max(dbgResult->currentIndex().column(), 0));
    dsResult->DeleteRecord(row);
}

void TdlgShowData::RowEntered(int row) {
    const int pending = dsResult->PendingRow();
    if (pending == -1 || pending == row) {
        return;
    }
    try {
        dsResult->Post();
    } catch (const std::exception& error) {
        // Shown once the view has finished moving, then the user is back on the record.
        const std::string message = error.what();
        QTimer::singleShot(0, this, [this, pending, message] {
            scroller->GoToRecord(pending, std::max(dbgResult->currentIndex().column(), 0));
            ShowErrorMessage(message);
        });
    }
}

}  // namespace rowsmith
