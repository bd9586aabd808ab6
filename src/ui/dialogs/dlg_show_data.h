// TdlgShowData: the "Tables Data" viewer. cbTables lists the scenario's tables; dbgResult shows
// the records of the one picked, through the model dsResult over the viewer's own cursor ATable;
// dsResult shows a window of the table, and the scroll bar sbRecords beside the grid spans all of
// it (see RecordScroller).
// The user edits cells in place, starts a new record in the empty row at the end and deletes the
// current record with Ctrl+Delete after a confirmation. A changed record is posted when the user
// leaves its row; when the table refuses it, the error is shown and the user is put back on the
// record, still pending. Picking another table or closing the viewer drops a pending record.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "dialogs/record_scroller.h"
#include "dialogs/table_data_model.h"
#include "engine/table_cursor.h"

class QComboBox;
class QScrollBar;
class QTableView;

namespace rowsmith {

class TdlgShowData : public QDialog {
    Q_OBJECT

public:
    explicit TdlgShowData(QWidget* parent = nullptr);
    ~TdlgShowData() override;

    // Clears cbTables and lists `tables` in their order.
    void SetTables(const std::vector<std::string>& tables);
    // Closes ATable and opens it on the table picked in cbTables (an empty name when none is).
    // Throws the engine's error, leaving the grid empty.
    void ShowTable();
    // Asks "Delete record?" and deletes the current record on OK.
    void DeleteCurrentRecord();

    QComboBox* cbTables = nullptr;
    QTableView* dbgResult = nullptr;
    QScrollBar* sbRecords = nullptr;
    TableDataModel* dsResult = nullptr;
    RecordScroller* scroller = nullptr;
    TableCursor ATable;

private:
    void FormCreate();
    // The user came to table row `row`: a record pending on another row is posted; on error the
    // user is put back on it.
    void RowEntered(int row);
};

}  // namespace rowsmith
