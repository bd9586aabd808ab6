// RecordScroller: lets a table view move through a table of any size while its model shows a
// window of it (TableDataModel). The view's own vertical scroll bar spans only the window, so it
// is hidden and `bar` spans the whole table instead. When the user drags `bar`, jumps to either
// end (Ctrl+Home, Ctrl+End) or comes near an edge of the window by keys or the wheel, the window
// moves and the view keeps showing what the user asked for.
//
// The current record stays current when the window moves away from it and back; while the window
// does not show it the view has no current cell, and the next key that moves the cursor starts
// from the current record again, as it would in a view that shows every row.
#pragma once

#include <QObject>

class QScrollBar;
class QTableView;

namespace rowsmith {

class TableDataModel;

class RecordScroller : public QObject {
    Q_OBJECT

public:
    // `grid` shows `model`; `bar` is a vertical scroll bar beside it. All three must outlive
    // the scroller.
    RecordScroller(QTableView& grid, TableDataModel& model, QScrollBar& bar);

    // The table row of the current record, or -1 when there is none.
    int CurrentRecord() const;
    // Makes the record of table row `row` current, in `column`, and shows it.
    void GoToRecord(int row, int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Puts table row `top` at the top of the grid, moving the window when it would show the grid
    // near one of its edges.
    void ShowFrom(int top);
    // Shows the table from table row `start` on (kept within the table), the current record still
    // current when the window shows it.
    void MoveWindow(int start);
    // The grid scrolled itself: `bar` follows, and the window moves when the grid nears its edge.
    void GridScrolled();
    // Whether a grid whose top shows model row `top` is near an edge of the window that is not an
    // edge of the table.
    bool NearWindowEdge(int top) const;
    void UpdateBar();

    QTableView& grid_;
    TableDataModel& model_;
    QScrollBar& bar_;
    // The current record's table row and column, kept while the window does not show it.
    int currentRecord_ = -1;
    int currentColumn_ = 0;
    // Set while the scroller moves `bar` or the grid itself.
    bool syncing_ = false;
    bool recentreQueued_ = false;
};

}  // namespace rowsmith
