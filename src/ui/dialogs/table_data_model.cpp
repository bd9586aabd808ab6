#include "dialogs/table_data_model.h"

#include <QFont>
#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <exception>

#include "common/message_boxes.h"
#include "engine/database_errors.h"

namespace rowsmith {

namespace {

const char* const kRecordGone = "Record not found: it was changed or deleted by another user";

std::string TextOf(const QVariant& value) {
    return value.toString().toStdString();
}

}  // namespace

TableDataModel::TableDataModel(QObject* parent) : QAbstractTableModel(parent) {}

void TableDataModel::SetCursor(TableCursor* cursor) {
    beginResetModel();
    cursor_ = nullptr;
    recordCount_ = 0;
    titles_.clear();
    pages_.clear();
    pending_ = Pending();
    struct EndReset {
        TableDataModel* model;
        ~EndReset() { model->endResetModel(); }
    } endReset{this};
    if (cursor == nullptr) {
        return;
    }
    std::vector<std::string> names;
    cursor->ListFieldNames(names);
    cursor_ = cursor;
    for (const std::string& name : names) {
        titles_ << QString::fromStdString(name);
    }
    // A short first page is the whole table; a full one is counted once it is on screen.
    counted_ = false;
    recordCount_ = static_cast<std::int64_t>(LoadPage(0).rows.size());
    if (recordCount_ < kPageRows) {
        counted_ = true;
        return;
    }
    QTimer::singleShot(0, this, [this, cursor] {
        if (cursor_ == cursor) {
            FinishCount();
        }
    });
}

void TableDataModel::FinishCount() {
    if (counted_ || cursor_ == nullptr) {
        return;
    }
    counted_ = true;
    const std::int64_t count = cursor_->CountRecords();
    if (count <= recordCount_) {
        return;
    }
    // The rows come in before the row for new records, which keeps a pending record on it.
    const int first = AppendRow();
    beginInsertRows(QModelIndex(), first, static_cast<int>(count) - 1);
    if (pending_.row == first) {
        pending_.row = static_cast<int>(count);
    }
    recordCount_ = count;
    endInsertRows();
}

int TableDataModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || cursor_ == nullptr ? 0 : static_cast<int>(recordCount_) + 1;
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
    const Row* record = RowAt(row);
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
    if (isNew) {
        cursor_->Append();
    } else {
        GoToRow(row);
        cursor_->Edit();
    }
    try {
        for (std::size_t i = 0; i < pending_.values.size(); ++i) {
            if (pending_.values[i]) {
                cursor_->FieldAt(static_cast<int>(i)).WriteString(*pending_.values[i]);
            }
        }
        cursor_->Post();
    } catch (...) {
        cursor_->Cancel();
        throw;
    }
    Row posted = ReadRow();
    pending_ = Pending();
    if (isNew) {
        // The new record takes its place before the row for new records, which moves down.
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        beginInsertRows(QModelIndex(), row, row);
        ++recordCount_;
        StorePosted(row, std::move(posted));
        endInsertRows();
        emit headerDataChanged(Qt::Vertical, row, row + 1);
        return;
    }
    StorePosted(row, std::move(posted));
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
    if (cursor_ == nullptr || row < 0 || row >= AppendRow()) {
        if (row == AppendRow()) {
            CancelPending();
        }
        return;
    }
    FinishCount();
    GoToRow(row);
    cursor_->Delete();
    beginRemoveRows(QModelIndex(), row, row);
    --recordCount_;
    // Every later record moves up a row: the pages are read again as they are asked for.
    pages_.clear();
    if (pending_.row == row) {
        pending_ = Pending();
    } else if (pending_.row > row) {
        --pending_.row;
    }
    endRemoveRows();
}

const TableDataModel::Row* TableDataModel::RowAt(int row) const {
    if (cursor_ == nullptr || row < 0 || row >= AppendRow()) {
        return nullptr;
    }
    Page* page = FindPage(row / kPageRows);
    if (page == nullptr) {
        page = &LoadPage(row / kPageRows);
    }
    page->lastUse = ++clock_;
    const auto offset = static_cast<std::size_t>(row % kPageRows);
    return offset < page->rows.size() ? &page->rows[offset] : nullptr;
}

TableDataModel::Page& TableDataModel::LoadPage(int index) const {
    if (pages_.size() >= kMaxPages) {
        pages_.erase(
            std::min_element(pages_.begin(), pages_.end(),
                             [](const Page& a, const Page& b) { return a.lastUse < b.lastUse; }));
    }
    Page page;
    page.index = index;
    try {
        // Going on from the page before is a short keyset read; anything else is a move by
        // position.
        bool placed = false;
        const Page* before = FindPage(index - 1);
        if (before != nullptr && before->rows.size() == kPageRows &&
            cursor_->GotoBookmark(before->rows.back().mark)) {
            cursor_->Next();
            placed = !cursor_->AtEnd();
        } else {
            placed = cursor_->MoveTo(std::int64_t{index} * kPageRows, counted_ ? recordCount_ : -1);
        }
        while (placed && page.rows.size() < kPageRows && !cursor_->AtEnd()) {
            page.rows.push_back(ReadRow());
            cursor_->Next();
        }
    } catch (const std::exception& error) {
        // Met while the view paints: the page stays empty, and the error is shown once the
        // painting is over.
        page.rows.clear();
        QMetaObject::invokeMethod(
            const_cast<TableDataModel*>(this),
            [message = std::string(error.what())] { ShowErrorMessage(message); },
            Qt::QueuedConnection);
    }
    pages_.push_back(std::move(page));
    return pages_.back();
}

TableDataModel::Page* TableDataModel::FindPage(int index) const {
    auto found = std::find_if(pages_.begin(), pages_.end(),
                              [index](const Page& page) { return page.index == index; });
    return found != pages_.end() ? &*found : nullptr;
}

TableDataModel::Row TableDataModel::ReadRow() const {
    Row row;
    row.mark = cursor_->GetBookmark();
    row.values.reserve(static_cast<std::size_t>(cursor_->FieldCount()));
    for (int i = 0; i < cursor_->FieldCount(); ++i) {
        row.values.push_back(cursor_->FieldAt(i).ReadString());
    }
    return row;
}

void TableDataModel::GoToRow(int row) {
    const Row* record = RowAt(row);
    if (record == nullptr || !cursor_->GotoBookmark(record->mark)) {
        throw EDatabaseError(kRecordGone);
    }
}

void TableDataModel::StorePosted(int row, Row&& posted) {
    Page* page = FindPage(row / kPageRows);
    if (page == nullptr) {
        return;
    }
    const auto offset = static_cast<std::size_t>(row % kPageRows);
    if (offset < page->rows.size()) {
        page->rows[offset] = std::move(posted);
    } else if (offset == page->rows.size()) {
        page->rows.push_back(std::move(posted));
    } else {
        pages_.erase(pages_.begin() + (page - pages_.data()));
    }
}

}  // namespace rowsmith
