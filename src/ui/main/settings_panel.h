// TSettingsPanel: the main window's settings panel pnlMain. It shows the settings of the table
// bound on the fill engine: the field grid sgFields with the method list cbMethods and the "..."
// button bbEditValue laid over its current cell, and below it the table fill method and the record
// count. Its handlers write the user's changes into the table's settings and report each one by
// Modified; the window wires that to the scenario's changed state.
//
// The controls are public and keep the names the design gives them, so that the window can hand
// them on and the tests reach them as a person would.
#pragma once

#include <QModelIndex>
#include <QWidget>
#include <string>

class QComboBox;
class QLabel;
class QPushButton;

namespace rowsmith {

class FillEngine;
class TFieldGrid;
class TFieldGridModel;
class TFillTable;
class TSpinEdit;

class TSettingsPanel : public QWidget {
    Q_OBJECT

public:
    explicit TSettingsPanel(QWidget* parent = nullptr);

    // Hides the panel and lets go of the table shown: no control may reach it from here on.
    void Clear();
    // Shows the settings of `engine`'s current table and puts the grid on its first method cell.
    // `aliasName` is the database the master-field picker lists. The engine must outlive its use
    // here, up to the next Clear or ShowTable.
    void ShowTable(FillEngine& engine, const std::string& aliasName);
    // The table shown, or none.
    TFillTable* CurrentTable() const;
    TFieldGridModel& Model() const { return *fieldModel_; }
    // Makes the grid's column widths fill its client width again.
    void FitColumns();
    // The width the panel takes to show all three grid columns at their widths, unclipped.
    int ColumnsWidth() const;

    TFieldGrid* sgFields = nullptr;
    QComboBox* cbMethods = nullptr;
    QPushButton* bbEditValue = nullptr;
    QWidget* pnlBottom = nullptr;
    QLabel* lblTblFillMethod = nullptr;
    QComboBox* cbTblFillMethod = nullptr;
    QLabel* lblRecCount = nullptr;
    TSpinEdit* seRecCount = nullptr;

    void sgFieldsSelectCell(const QModelIndex& current);
    void cbMethodsChange(int method);
    void bbEditValueClick();
    void EditValueSet(int index);
    void EditMasterField(int index);
    void EditDateRange(int index);
    void EditLibrary(int index);
    void EditPattern(int index);
    void cbTblFillMethodChange(int method);
    void seRecCountChange();
    void UpdateRecCountVisibility();

signals:
    // The user changed a setting of the table shown.
    void Modified();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateGrid();
    QWidget* CreateBottomPanel();
    void ConnectControls();
    // Lays cbMethods over the current method cell and, while the grid has the focus,
    // bbEditValue inside the right end of the current value cell of a row whose method has an
    // editor, from the cell's rectangle; hides what does not belong to the current cell. The one
    // place that positions them.
    void PlaceGridControls();
    // Whether the keyboard is in the grid, in a cell editor or on the "..." button.
    bool GridInUse() const;
    // A rejected text brings the current cell back to it when the user moved away.
    void ReturnToRejected(const QModelIndex& index);

    TFieldGridModel* fieldModel_ = nullptr;
    FillEngine* engine_ = nullptr;
    std::string aliasName_;
};

}  // namespace rowsmith
