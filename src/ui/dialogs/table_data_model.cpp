#include "dialogs/table_data_model.h"

#include <QFont>
#include <QTimer>
#include <algorithm>
#include <exception>

namespace rowsmith {

namespace {

std::string TextOf(const QVariant& value) {
    return value.toString().toStdString();
}

}  // namespace

TableDataModel::TableDataModel(QObject* parent) : QAbstractTableModel(parent) {}

void TableDataModel::SetCursor(TableCursor* cursor) {
    beginResetModel();
    titles_.clear();
    pending_ = Pending();
    windowStart_ = 0;
    struct EndReset {
        TableDataModel* model;
        ~EndReset() {
            model->windowRows_ = std::min(model->TableRows(), kWindowRows);
            model->endResetModel();
            emit model->TableRowsChanged();
        }
    } endReset{this};
    cache_.Reset(nullptr);
    if (cursor == nullptr) {
        return;
    }
    std::vector<std::string> names;
    cursor->ListFieldNames(names);
    for (const std::string& name : names) {
        titles_ << QString::fromStdString(name);
    }
    try {
        cache_.Reset(cursor);
    } catch (const std::exception& error) {
        emit LoadFailed(QString::fromStdString(error.what()));
    }
    // A full first page is counted once it is on screen.
    if (cache_.Counted()) {
        return;
    }
    QTimer::singleShot(0, this, [this, cursor] {
        if (cache_.Cursor() != cursor) {
            return;
        }
        try {
            FinishCount();
        } catch (const std::exception& error) {
            emit LoadFailed(QString::fromStdString(error.what()));
        }
    });
}

void TableDataModel::FinishCount() {
    if (cache_.Counted() || cache_.Cursor() == nullptr) {
        return;
    }
    const std::int64_t count = cache_.Count();
    if (count <= cache_.Records()) {
        return;
    }
    // The cache takes the count at once: it places the pages it reads by it. The row for new
    // records, which keeps a pending record, moves to the end; its row shows a record now and
    // the other rows come in after it, as many as the window holds. The window starts at the
    // first record until the table is counted.
    const int first = AppendRow();
    const int rows = static_cast<int>(std::min<std::int64_t>(count + 1, kWindowRows));
    cache_.SetRecords(count);
    if (pending_.row == first) {
        pending_.row = static_cast<int>(count);
    }
    RowChanged(first);
    beginInsertRows(QModelIndex(), first + 1, rows - 1);
    windowRows_ = rows;
    endInsertRows();
    emit TableRowsChanged();
}

void TableDataModel::SetWindowStart(int start) {
    start = std::clamp(start, 0, LastWindowStart());
    if (start == windowStart_) {
        return;
    }
    windowStart_ = start;
    WindowChanged();
}

int TableDataModel::ModelRow(int tableRow) const {
    const int row = tableRow - windowStart_;
    return row >= 0 && row < windowRows_ ? row : -1;
}

void TableDataModel::WindowChanged() {
    if (windowRows_ == 0) {
        return;
    }
    if (!titles_.isEmpty()) {
        emit dataChanged(index(0, 0), index(windowRows_ - 1, columnCount() - 1));
    }
    emit headerDataChanged(Qt::Vertical, 0, windowRows_ - 1);
}

int TableDataModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : windowRows_;
}

int TableDataModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant TableDataModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    const int row = TableRow(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    if (row == pending_.row && pending_.values[column]) {
        return QString::fromStdString(*pending_.values[column]);
    }
    if (row == AppendRow()) {
        return QString();
    }
    const TablePageCache::Row* record = RowAt(row);
    return record != nullptr ? QString::fromStdString(record->values[column]) : QString();
}

QVariant TableDataModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        return role == Qt::DisplayRole && section >= 0 && section < titles_.size()
                   ? QVariant(titles_[section])
                   : QVariant();
    }
    const int row = TableRow(section);
    if (role == Qt::DisplayRole) {
        return row == AppendRow() ? QStringLiteral("*") : QString::number(row + 1);
    }
    if (role == Qt::FontRole && row == pending_.row) {
        QFont font;
        font.setBold(true);
        return font;
    }
    return {};
}

Qt::ItemFlags TableDataModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool TableDataModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::EditRole) {
        return false;
    }
    const int row = TableRow(index.row());
    if (pending_.row != -1 && pending_.row != row) {
        return false;
    }
    std::string text = TextOf(value);
    if (pending_.row == -1) {
        // Typing back what is there already changes nothing.
        if (text == TextOf(data(index, Qt::EditRole))) {
            return true;
        }
        pending_.row = row;
        pending_.values.assign(titles_.size(), std::nullopt);
        emit headerDataChanged(Qt::Vertical, index.row(), index.row());
    }
    pending_.values[static_cast<std::size_t>(index.column())] = std::move(text);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

void TableDataModel::Post() {
    if (pending_.row == -1) {
        return;
    }
    // Rows are numbered against the whole table from here on.
    FinishCount();
    const int row = pending_.row;
    const bool isNew = row == AppendRow();
    TableCursor& cursor = *cache_.Cursor();
    if (isNew) {
        cursor.Append();
    } else {
        cache_.GoToRow(row);
        cursor.Edit();
    }
    try {
        for (std::size_t i = 0; i < pending_.values.size(); ++i) {
            if (pending_.values[i]) {
                cursor.FieldAt(static_cast<int>(i)).WriteString(*pending_.values[i]);
            }
        }
        cursor.Post();
    } catch (...) {
        cursor.Cancel();
        throw;
    }
    pending_ = Pending();
    // The cache counts a new record at once: it places the pages it reads by the count.
    if (isNew) {
        cache_.SetRecords(cache_.Records() + 1);
    }
    cache_.StorePosted(row, cache_.ReadCurrent());
    const int modelRow = ModelRow(row);
    RowChanged(modelRow);
    if (!isNew) {
        return;
    }
    if (modelRow != -1) {
        // The record took the row for new records, which comes back after it; a full window
        // moves down a row to keep it.
        if (windowRows_ == kWindowRows) {
            beginRemoveRows(QModelIndex(), 0, 0);
            ++windowStart_;
            --windowRows_;
            endRemoveRows();
        }
        beginInsertRows(QModelIndex(), windowRows_, windowRows_);
        ++windowRows_;
        endInsertRows();
    }
    emit TableRowsChanged();
}

void TableDataModel::RowChanged(int modelRow) {
    if (modelRow != -1) {
        emit dataChanged(index(modelRow, 0), index(modelRow, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, modelRow, modelRow);
    }
}

void TableDataModel::CancelPending() {
    const int row = pending_.row;
    if (row == -1) {
        return;
    }
    pending_ = Pending();
    RowChanged(ModelRow(row));
}

void TableDataModel::DeleteRecord(int row) {
    if (cache_.Cursor() == nullptr || row < 0 || row >= AppendRow()) {
        if (row == AppendRow()) {
            CancelPending();
        }
        return;
    }
    FinishCount();
    const int modelRow = ModelRow(row);
    if (modelRow == -1) {
        return;
    }
    cache_.GoToRow(row);
    cache_.Cursor()->Delete();
    const bool staysFull = TableRows() > kWindowRows;
    beginRemoveRows(QModelIndex(), modelRow, modelRow);
    cache_.Removed();
    --windowRows_;
    if (pending_.row == row) {
        pending_ = Pending();
    } else if (pending_.row > row) {
        --pending_.row;
    }
    endRemoveRows();
    if (staysFull) {
        // The next row comes into the window at its end, or the row before it at its start when
        // the window ends the table.
        const bool atEnd = windowStart_ + windowRows_ == TableRows();
        const int at = atEnd ? 0 : windowRows_;
        beginInsertRows(QModelIndex(), at, at);
        if (atEnd) {
            --windowStart_;
        }
        ++windowRows_;
        endInsertRows();
    }
    emit TableRowsChanged();
}

const TablePageCache::Row* TableDataModel::RowAt(int row) const {
    try {
        return cache_.RowAt(row);
    } catch (const std::exception& error) {
        emit const_cast<TableDataModel*>(this)->LoadFailed(QString::fromStdString(error.what()));
        return nullptr;
    }
}

}  // namespace rowsmith
