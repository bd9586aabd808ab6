#include "dialogs/table_data_model.h"

#include <QFont>
#include <QTimer>
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
    struct EndReset {
        TableDataModel* model;
        ~EndReset() { model->endResetModel(); }
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
    // The rows come in before the row for new records, which keeps a pending record on it.
    const int first = AppendRow();
    beginInsertRows(QModelIndex(), first, static_cast<int>(count) - 1);
    if (pending_.row == first) {
        pending_.row = static_cast<int>(count);
    }
    cache_.SetRecords(count);
    endInsertRows();
}

int TableDataModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || cache_.Cursor() == nullptr ? 0 : AppendRow() + 1;
}

int TableDataModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant TableDataModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    const int row = index.row();
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
    if (role == Qt::DisplayRole) {
        return section == AppendRow() ? QStringLiteral("*") : QString::number(section + 1);
    }
    if (role == Qt::FontRole && section == pending_.row) {
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
    const int row = index.row();
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
        emit headerDataChanged(Qt::Vertical, row, row);
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
    TablePageCache::Row posted = cache_.ReadCurrent();
    pending_ = Pending();
    if (isNew) {
        // The new record takes its place before the row for new records, which moves down.
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        beginInsertRows(QModelIndex(), row, row);
        cache_.SetRecords(cache_.Records() + 1);
        cache_.StorePosted(row, std::move(posted));
        endInsertRows();
        emit headerDataChanged(Qt::Vertical, row, row + 1);
        return;
    }
    cache_.StorePosted(row, std::move(posted));
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}

void TableDataModel::CancelPending() {
    const int row = pending_.row;
    if (row == -1) {
        return;
    }
    pending_ = Pending();
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}

void TableDataModel::DeleteRecord(int row) {
    if (cache_.Cursor() == nullptr || row < 0 || row >= AppendRow()) {
        if (row == AppendRow()) {
            CancelPending();
        }
        return;
    }
    FinishCount();
    cache_.GoToRow(row);
    cache_.Cursor()->Delete();
    beginRemoveRows(QModelIndex(), row, row);
    cache_.Removed();
    if (pending_.row == row) {
        pending_ = Pending();
    } else if (pending_.row > row) {
        --pending_.row;
    }
    endRemoveRows();
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
