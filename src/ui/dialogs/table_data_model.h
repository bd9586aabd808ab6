// TableDataModel: the data viewer's grid model over an open TableCursor, one row per record in
// the table's order and one column per table column, titled with the column names. After the
// records comes one empty row in which the user starts a new record, as data grids offer.
//
// The model reads the first page at once and counts the records right after, from the event loop,
// so the first screen shows before a large table is counted. The records come through a
// TablePageCache, which holds only a few pages of them. A read that fails while the view asks for
// rows leaves those rows empty and is reported by LoadFailed; the model shows nothing itself.
//
// A view keeps a few bytes for every row of its model, so the model shows a window of at most
// kWindowRows rows of the table, from WindowStart on; the viewer moves the window as the user
// moves through the table. Table rows count from the table's first record; model rows from the
// window's start. PendingRow, AppendRow and DeleteRecord speak of table rows.
//
// Edits collect in one pending record and reach the table only when Post runs (the viewer posts
// when the user leaves the row). A post the table refuses raises its error and keeps the record
// pending, its typed values shown, so the user can mend it or drop it.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/table_cursor.h"
#include "engine/table_page_cache.h"

namespace rowsmith {

class TableDataModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kPageRows = TablePageCache::kPageRows;
    static constexpr int kWindowRows = 100000;

    explicit TableDataModel(QObject* parent = nullptr);

    // Shows the open `cursor`'s table, or nothing for null; a pending record is dropped. The
    // cursor must outlive its use here. A table of more than one page is counted by
    // FinishCount, which the event loop runs next.
    void SetCursor(TableCursor* cursor);
    // Counts the records, when that is still to be done, and adds the rows past the first page.
    // Throws the engine's error when the records cannot be counted.
    void FinishCount();
    bool Counted() const { return cache_.Counted(); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Takes the text into the pending record. Refused while another row has a pending record.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    std::int64_t RecordCount() const { return cache_.Records(); }
    // The table row in which a new record is started: the one after the last record.
    int AppendRow() const { return static_cast<int>(cache_.Records()); }
    // The table's rows: its records and the row for new ones; none without a cursor.
    int TableRows() const { return cache_.Cursor() != nullptr ? AppendRow() + 1 : 0; }
    // The table row shown in model row 0.
    int WindowStart() const { return windowStart_; }
    // Shows the table from table row `start` on, as far as the table allows. The model rows keep
    // their number and show other records.
    void SetWindowStart(int start);
    // The start of a window that ends with the table.
    int LastWindowStart() const { return std::max(TableRows() - windowRows_, 0); }
    int TableRow(int modelRow) const { return windowStart_ + modelRow; }
    // The model row of a table row, or -1 outside the window.
    int ModelRow(int tableRow) const;
    // The row of the pending record, or -1.
    int PendingRow() const { return pending_.row; }
    // Writes the pending record to the table. On error it raises the engine's error and the
    // record stays pending.
    void Post();
    void CancelPending();
    // Removes the record of table row `row`, which the window shows, from the table; on the
    // append row it only drops a pending new record. Throws the engine's error, or when another
    // user deleted the record.
    void DeleteRecord(int row);
    // How many pages of records are held now.
    int LoadedPages() const { return cache_.LoadedPages(); }

signals:
    // Records could not be read while the view asked for them (the message is the engine's).
    // Emitted where the view paints: a receiver that shows it connects queued.
    void LoadFailed(const QString& message);
    // TableRows changed, whether or not the window shows the change.
    void TableRowsChanged();

private:
    struct Pending {
        // A table row.
        int row = -1;
        // Texts typed per column; columns without one keep their value.
        std::vector<std::optional<std::string>> values;
    };

    // The record of table row `row` for the view; a read that fails is reported by LoadFailed.
    const TablePageCache::Row* RowAt(int row) const;
    // Every cell and row title of the window changed.
    void WindowChanged();
    // The cells and title of a model row changed; nothing for -1.
    void RowChanged(int modelRow);

    QStringList titles_;
    int windowStart_ = 0;
    // The model's rows, changed only between the begin and end of a change of rows.
    int windowRows_ = 0;
    // Reading rows for the view changes which pages are held, not what the model shows.
    mutable TablePageCache cache_;
    Pending pending_;
};

}  // namespace rowsmith
