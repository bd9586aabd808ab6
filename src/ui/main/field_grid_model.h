// TFieldGridModel: the item model of the field settings grid sgFields, over the settings of the
// table bound on the fill engine's work table. Row i stands for the work table's column i and the
// setting at position i; the columns are the column name, the fill method and its value, then
// the share of NULLs and the unique setting.
//
// Each value cell keeps the text last typed into it, which may be newer than the setting's
// FillValue: a typed text is stored in the setting only when the engine's check accepts it.
// A NULL share cell likewise keeps its typed text, stored only when it is a share from 0 to 100.
// Changes reach the settings only through their setters, and every change is reported by Edited,
// so that the window marks the scenario changed.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

namespace rowsmith {

class FillEngine;
class TFillField;
class TFillTable;

// The columns of sgFields.
enum FieldGridColumn {
    colFieldName = 0,
    colFillMethod = 1,
    colValues = 2,
    colNullShare = 3,
    colUnique = 4,
    kFieldGridColumns = 5
};

class TFieldGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Roles beyond Qt's: the method code of the row, and its FillValue as stored.
    enum Role { FillMethodRole = Qt::UserRole, FillValueRole };

    explicit TFieldGridModel(QObject* parent = nullptr);

    // Shows the settings of the engine's current table against the columns of its open work
    // table; with none, or with the work table closed, the grid is empty.
    void ShowTable(FillEngine* engine);
    void Clear() { ShowTable(nullptr); }
    // The setting of row `row`. REQUIRES: 0 <= row < rowCount().
    TFillField& Field(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A method cell takes a method code (EditRole); a value cell takes a typed text (EditRole),
    // checked before it is stored in the setting, or a text to store as it is (FillValueRole); a
    // NULL share cell a typed text (EditRole), a unique cell a check state (CheckStateRole).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Whether a value of that method is typed into its cell (the fill method registry says).
    static bool TypedMethod(int method);
    // Whether a value of that method has an editor of its own behind the "..." button.
    static bool EditorMethod(int method);
    // Whether a setting shown uses the NULL share or unique column `column`.
    bool ColumnInUse(int column) const;

signals:
    // A setting or a value cell changed.
    void Edited();
    // A typed text failed the check: the setting keeps its former FillValue.
    void ValueRejected(const QModelIndex& index);

private:
    FillEngine* engine_ = nullptr;
    TFillTable* table_ = nullptr;
    std::vector<QString> fieldNames_;
    std::vector<QString> valueTexts_;
    std::vector<QString> nullShareTexts_;
};

}  // namespace rowsmith
