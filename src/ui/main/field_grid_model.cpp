#include "main/field_grid_model.h"

#include <algorithm>

#include "fill/column_writer.h"
#include "fill/fill_engine.h"
#include "fill/generators/fill_method_registry.h"

namespace rowsmith {

namespace {

QString MethodCaption(int method) {
    const FillMethodEntry* entry = FindFillMethod(method);
    return entry != nullptr ? QString(entry->caption) : QString();
}

}  // namespace

TFieldGridModel::TFieldGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void TFieldGridModel::ShowTable(FillEngine* engine) {
    // Rows go and come rather than the model being reset, which would also reset the widths the
    // grid's columns were given.
    if (!fieldNames_.empty()) {
        beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
        fieldNames_.clear();
        valueTexts_.clear();
        nullShareTexts_.clear();
        endRemoveRows();
    }
    engine_ = nullptr;
    table_ = nullptr;
    if (engine == nullptr || engine->CurrentTable() == nullptr || !engine->WorkTable().Active()) {
        return;
    }
    engine_ = engine;
    // The table shown stays the one the rows stand for while a fill binds the others in turn.
    table_ = engine->CurrentTable();
    const TableCursor& columns = engine->WorkTable();
    const TFFList& fields = table_->Fields();
    // Binding gave every column a setting; settings past the last column are not shown.
    const int rows = std::min(columns.FieldCount(), fields.Count());
    if (rows == 0) {
        return;
    }
    beginInsertRows(QModelIndex(), 0, rows - 1);
    for (int i = 0; i < rows; ++i) {
        fieldNames_.push_back(QString::fromStdString(columns.FieldAt(i).FieldName()));
        valueTexts_.push_back(QString::fromStdString(fields.Items(i).FillValue()));
        nullShareTexts_.push_back(QString::fromStdString(fields.Items(i).NullShare()));
    }
    endInsertRows();
}

TFillField& TFieldGridModel::Field(int row) const {
    return table_->Fields().Items(row);
}

int TFieldGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fieldNames_.size());
}

int TFieldGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFieldGridColumns;
}

QVariant TFieldGridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return QVariant();
    }
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            switch (index.column()) {
                case colFieldName:
                    return fieldNames_[row];
                case colFillMethod:
                    return MethodCaption(Field(index.row()).FillMethod());
                case colValues:
                    return valueTexts_[row];
                case colNullShare:
                    return nullShareTexts_[row];
                default:
                    return QVariant();
            }
        case Qt::ToolTipRole:
        case Qt::AccessibleTextRole:
            // A caption cut at a narrow column's edge can still be read in full.
            return index.column() == colFillMethod
                       ? QVariant(MethodCaption(Field(index.row()).FillMethod()))
                       : QVariant();
        case Qt::CheckStateRole:
            // No box where the method writes nothing.
            if (index.column() != colUnique || !WritesValues(Field(index.row()).FillMethod())) {
                return QVariant();
            }
            return Field(index.row()).Unique() ? Qt::Checked : Qt::Unchecked;
        case FillMethodRole:
            return Field(index.row()).FillMethod();
        case FillValueRole:
            return QString::fromStdString(Field(index.row()).FillValue());
        default:
            return QVariant();
    }
}

QVariant TFieldGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kTitles[kFieldGridColumns] = {"Field name", "Filling method", "Values",
                                                           "Nulls %", "Unique"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kFieldGridColumns) {
        return QVariant();
    }
    return QString(kTitles[section]);
}

Qt::ItemFlags TFieldGridModel::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return Qt::NoItemFlags;
    }
    // The name column is fixed: shown, never current.
    if (index.column() == colFieldName) {
        return Qt::ItemIsEnabled;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int method = Field(index.row()).FillMethod();
    if (index.column() == colValues && TypedMethod(method)) {
        flags |= Qt::ItemIsEditable;
    }
    // A share and uniqueness are for methods that write values.
    if (index.column() == colNullShare && WritesValues(method)) {
        flags |= Qt::ItemIsEditable;
    }
    if (index.column() == colUnique && WritesValues(method)) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

bool TFieldGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || index.column() == colFieldName) {
        return false;
    }
    TFillField& field = Field(index.row());
    const auto row = static_cast<std::size_t>(index.row());
    QString& text = valueTexts_[row];
    if (index.column() == colUnique) {
        if (role != Qt::CheckStateRole) {
            return false;
        }
        field.SetUnique(value.toInt() == Qt::Checked);
        emit dataChanged(index, index);
    } else if (index.column() == colNullShare) {
        if (role != Qt::EditRole) {
            return false;
        }
        nullShareTexts_[row] = value.toString();
        const std::string typed = nullShareTexts_[row].toStdString();
        long double share = 0;
        if (ReadNullShare(typed, share)) {
            field.SetNullShare(typed);
        } else {
            emit ValueRejected(index);
        }
        emit dataChanged(index, index);
    } else if (index.column() == colFillMethod) {
        if (role != Qt::EditRole) {
            return false;
        }
        field.SetFillMethod(value.toInt());
        text = QString::fromStdString(field.FillValue());
        // The value, and whether the share and unique cells can be edited.
        emit dataChanged(index, index.siblingAtColumn(colUnique));
    } else if (role == FillValueRole) {
        field.SetFillValue(value.toString().toStdString());
        text = value.toString();
        emit dataChanged(index, index);
    } else if (role == Qt::EditRole) {
        text = value.toString();
        const std::string typed = text.toStdString();
        if (engine_->CheckFillValue(index.row(), typed)) {
            field.SetFillValue(typed);
        } else {
            emit ValueRejected(index);
        }
        emit dataChanged(index, index);
    } else {
        return false;
    }
    emit Edited();
    return true;
}

bool TFieldGridModel::TypedMethod(int method) {
    // A code without a method keeps the value it came with, and that can be edited.
    const FillMethodEntry* entry = FindFillMethod(method);
    return entry == nullptr || entry->typed;
}

bool TFieldGridModel::ColumnInUse(int column) const {
    for (int row = 0; row < rowCount(); ++row) {
        const TFillField& field = Field(row);
        if ((column == colNullShare && !field.NullShare().empty()) ||
            (column == colUnique && field.Unique())) {
            return true;
        }
    }
    return false;
}

bool TFieldGridModel::EditorMethod(int method) {
    const FillMethodEntry* entry = FindFillMethod(method);
    return entry != nullptr && entry->editor != ValueEditor::None;
}

}  // namespace rowsmith
