#include "main/settings_panel.h"

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>

#include "common/application.h"
#include "common/hint_text.h"
#include "common/modal_run.h"
#include "common/screen_reader_label.h"
#include "dialogs/dlg_date_range.h"
#include "dialogs/dlg_edit_values2.h"
#include "dialogs/dlg_edit_values7.h"
#include "dialogs/dlg_library_picker.h"
#include "dialogs/dlg_pattern_editor.h"
#include "fill/fill_engine.h"
#include "fill/generators/fill_method_registry.h"
#include "main/field_grid.h"
#include "main/field_grid_model.h"
#include "main/fit_last_column.h"
#include "main/spin_edit.h"
#include "model/fill_methods.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

constexpr int kTableFillMethodWidth = 145;
constexpr int kRecCountWidth = 79;
constexpr int kBottomPanelHeight = 29;
constexpr int kFieldNameWidth = 130;
constexpr int kFillMethodWidth = 171;
constexpr int kValuesWidth = 198;
constexpr int kDefaultRecCount = 100;

QString MethodHint(int method) {
    const FillMethodEntry* entry = FindFillMethod(method);
    return entry != nullptr ? QString(entry->hint) : QString();
}

}  // namespace

TSettingsPanel::TSettingsPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("pnlMain");
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
    CreateGrid();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(sgFields, 1);
    layout->addWidget(CreateBottomPanel());
    ConnectControls();
    hide();
}

void TSettingsPanel::CreateGrid() {
    sgFields = new TFieldGrid(this);
    fieldModel_ = new TFieldGridModel(this);
    sgFields->setModel(fieldModel_);
    sgFields->setColumnWidth(colFieldName, kFieldNameWidth);
    sgFields->setColumnWidth(colValues, kValuesWidth);
    // The grid's column widths follow its client width, which also changes when a scroll bar
    // comes or goes and when the panel is first shown.
    sgFields->viewport()->installEventFilter(this);

    // Laid over the grid's current cell when the grid is in use; hidden until then.
    cbMethods = new QComboBox(this);
    cbMethods->setObjectName("cbMethods");
    for (const FillMethodEntry& method : FillMethods()) {
        cbMethods->addItem(method.caption);
    }
    cbMethods->setFrame(false);
    cbMethods->setFocusPolicy(Qt::ClickFocus);
    NameForScreenReaders(*cbMethods, "Filling method");
    cbMethods->hide();
    // Every method caption can be read in full in its column, in the desktop's font.
    sgFields->setColumnWidth(colFillMethod,
                             std::max(kFillMethodWidth, cbMethods->sizeHint().width()));

    bbEditValue = new QPushButton("...", this);
    bbEditValue->setObjectName("bbEditValue");
    QFont bold = bbEditValue->font();
    bold.setBold(true);
    bbEditValue->setFont(bold);
    bbEditValue->setFocusPolicy(Qt::ClickFocus);
    bbEditValue->setAccessibleName("Edit values");
    bbEditValue->hide();
}

QWidget* TSettingsPanel::CreateBottomPanel() {
    pnlBottom = new QWidget;
    pnlBottom->setObjectName("pnlBottom");
    pnlBottom->setMinimumHeight(kBottomPanelHeight);
    auto* layout = new QHBoxLayout(pnlBottom);
    layout->setContentsMargins(2, 2, 2, 2);

    lblTblFillMethod = new QLabel("Table fill method");
    layout->addWidget(lblTblFillMethod);
    cbTblFillMethod = new QComboBox;
    cbTblFillMethod->setObjectName("cbTblFillMethod");
    cbTblFillMethod->setAccessibleName("Table fill method");
    lblTblFillMethod->setBuddy(cbTblFillMethod);
    for (const char* caption : kTableFillMethodCaptions) {
        cbTblFillMethod->addItem(caption);
    }
    // As wide as its longest caption in the desktop's font, and never narrower than the design's.
    cbTblFillMethod->setMinimumWidth(kTableFillMethodWidth);
    cbTblFillMethod->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout->addWidget(cbTblFillMethod);
    layout->addSpacing(6);

    lblRecCount = new QLabel("Record count:");
    layout->addWidget(lblRecCount);
    lblRecCount->setObjectName("lblRecCount");
    seRecCount = new TSpinEdit;
    seRecCount->setObjectName("seRecCount");
    seRecCount->setAccessibleName("Record count:");
    lblRecCount->setBuddy(seRecCount);
    seRecCount->setValue(kDefaultRecCount);
    seRecCount->setFixedWidth(kRecCountWidth);
    layout->addWidget(seRecCount);
    layout->addStretch(1);
    return pnlBottom;
}

void TSettingsPanel::ConnectControls() {
    connect(sgFields->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TSettingsPanel::sgFieldsSelectCell);
    connect(fieldModel_, &TFieldGridModel::Edited, this, &TSettingsPanel::Modified);
    connect(fieldModel_, &TFieldGridModel::ValueRejected, this, &TSettingsPanel::ReturnToRejected,
            Qt::QueuedConnection);
    connect(fieldModel_, &TFieldGridModel::dataChanged, this, &TSettingsPanel::PlaceGridControls);
    connect(sgFields, &TFieldGrid::CellsMoved, this, &TSettingsPanel::PlaceGridControls);
    connect(sgFields, &TFieldGrid::MethodListRequested, cbMethods, &QComboBox::showPopup);
    // The editors reach the database: their errors are shown before they could unwind through Qt.
    const auto editValue = Handled([this] { bbEditValueClick(); });
    connect(sgFields, &TFieldGrid::ValueEditorRequested, this, editValue);
    connect(cbMethods, &QComboBox::activated, this, &TSettingsPanel::cbMethodsChange);
    connect(bbEditValue, &QPushButton::clicked, this, editValue);
    connect(cbTblFillMethod, &QComboBox::activated, this, &TSettingsPanel::cbTblFillMethodChange);
    connect(seRecCount, &TSpinEdit::Change, this, &TSettingsPanel::seRecCountChange);
    connect(qApp, &QApplication::focusChanged, this, &TSettingsPanel::PlaceGridControls);
    setTabOrder(sgFields, cbTblFillMethod);
    setTabOrder(cbTblFillMethod, seRecCount);
}

void TSettingsPanel::Clear() {
    hide();
    engine_ = nullptr;
    fieldModel_->Clear();
}

void TSettingsPanel::ShowTable(FillEngine& engine, const std::string& aliasName) {
    engine_ = &engine;
    aliasName_ = aliasName;
    TFillTable& table = *engine.CurrentTable();
    fieldModel_->ShowTable(&engine);
    sgFields->setCurrentIndex(fieldModel_->index(0, colFillMethod));
    sgFields->scrollToTop();
    sgFields->horizontalScrollBar()->setValue(0);
    {
        const QSignalBlocker quiet(cbTblFillMethod);
        cbTblFillMethod->setCurrentIndex(table.TableFillMethod());
    }
    {
        // The count the table holds is shown, not edited: only the user's typing or spinning
        // marks the scenario changed.
        const QSignalBlocker quiet(seRecCount);
        seRecCount->setValue(table.RecCount());
    }
    UpdateRecCountVisibility();
    show();
    PlaceGridControls();
}

TFillTable* TSettingsPanel::CurrentTable() const {
    return engine_ != nullptr ? engine_->CurrentTable() : nullptr;
}

void TSettingsPanel::FitColumns() {
    FitLastColumn(*sgFields);
}

int TSettingsPanel::ColumnsWidth() const {
    return sgFields->columnWidth(colFieldName) + sgFields->columnWidth(colFillMethod) +
           kValuesWidth + 2 * sgFields->frameWidth() +
           sgFields->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void TSettingsPanel::sgFieldsSelectCell(const QModelIndex& current) {
    if (current.isValid()) {
        SetHint(sgFields, MethodHint(fieldModel_->Field(current.row()).FillMethod()), false);
    }
    PlaceGridControls();
}

void TSettingsPanel::ReturnToRejected(const QModelIndex& index) {
    if (index.isValid() && sgFields->currentIndex() != index) {
        sgFields->setCurrentIndex(index);
    }
}

void TSettingsPanel::PlaceGridControls() {
    const QModelIndex current = sgFields->currentIndex();
    QRect cell;
    if (current.isValid() && isVisible()) {
        const QRect inView = sgFields->visualRect(current);
        if (sgFields->viewport()->rect().intersects(inView)) {
            cell = QRect(sgFields->viewport()->mapTo(this, inView.topLeft()), inView.size());
        }
    }
    const int method = current.isValid() ? fieldModel_->Field(current.row()).FillMethod() : -1;
    if (!cell.isNull() && current.column() == colFillMethod) {
        {
            const QSignalBlocker quiet(cbMethods);
            cbMethods->setCurrentIndex(method);
        }
        cbMethods->setGeometry(cell.left() + 1, cell.top() + 1, cell.width(), cell.height());
        cbMethods->show();
        cbMethods->raise();
    } else {
        cbMethods->hide();
    }
    if (!cell.isNull() && current.column() == colValues && TFieldGridModel::EditorMethod(method) &&
        GridInUse()) {
        const int side = cell.height();
        bbEditValue->setGeometry(cell.right() - side + 1, cell.top(), side, side);
        bbEditValue->show();
        bbEditValue->raise();
    } else {
        bbEditValue->hide();
    }
}

bool TSettingsPanel::GridInUse() const {
    const QWidget* focus = window()->focusWidget();
    return focus != nullptr &&
           (focus == sgFields || focus == bbEditValue || sgFields->isAncestorOf(focus));
}

void TSettingsPanel::cbMethodsChange(int method) {
    const QModelIndex current = sgFields->currentIndex();
    if (!current.isValid()) {
        return;
    }
    fieldModel_->setData(current.siblingAtColumn(colFillMethod), method);
    emit Modified();
    SetHint(cbMethods, MethodHint(method));
    SetHint(sgFields, MethodHint(method), false);
}

void TSettingsPanel::bbEditValueClick() {
    const QModelIndex current = sgFields->currentIndex();
    const FillMethodEntry* method =
        current.isValid() ? FindFillMethod(fieldModel_->Field(current.row()).FillMethod())
                          : nullptr;
    if (method != nullptr) {
        switch (method->editor) {
            case ValueEditor::ValueSet:
                EditValueSet(current.row());
                break;
            case ValueEditor::MasterField:
                EditMasterField(current.row());
                break;
            case ValueEditor::DateRange:
                EditDateRange(current.row());
                break;
            case ValueEditor::Library:
                EditLibrary(current.row());
                break;
            case ValueEditor::Pattern:
                EditPattern(current.row());
                break;
            case ValueEditor::None:
                break;
        }
    }
    sgFields->setFocus();
}

void TSettingsPanel::EditValueSet(int index) {
    TdlgEditValues2 editor;
    editor.SetValues(fieldModel_->Field(index).ValueSet());
    if (RunModal(editor) == QDialog::Accepted) {
        fieldModel_->setData(fieldModel_->index(index, colValues),
                             QString::fromStdString(editor.ValueSetText()),
                             TFieldGridModel::FillValueRole);
        emit Modified();
    }
}

void TSettingsPanel::EditMasterField(int index) {
    TdlgEditValues7 picker;
    picker.Initialise(aliasName_);
    const std::string& value = fieldModel_->Field(index).FillValue();
    if (!TrimSpaces(value).empty()) {
        picker.Preselect(value);
    }
    if (RunModal(picker) == QDialog::Accepted) {
        fieldModel_->setData(fieldModel_->index(index, colValues),
                             QString::fromStdString(picker.SelectedField()),
                             TFieldGridModel::FillValueRole);
        emit Modified();
    }
}

void TSettingsPanel::EditDateRange(int index) {
    TdlgDateRange editor;
    const TableCursor& columns = engine_->WorkTable();
    if (index < columns.FieldCount()) {
        editor.SetColumnType(columns.FieldAt(index).FieldType());
    }
    editor.SetRange(fieldModel_->Field(index).FillValue());
    if (RunModal(editor) == QDialog::Accepted) {
        fieldModel_->setData(fieldModel_->index(index, colValues),
                             QString::fromStdString(editor.RangeText()),
                             TFieldGridModel::FillValueRole);
        emit Modified();
    }
}

void TSettingsPanel::EditLibrary(int index) {
    TdlgLibraryPicker picker(LibraryFinder(), engine_->ScenarioFolder());
    picker.Preselect(fieldModel_->Field(index).FillValue());
    if (RunModal(picker) == QDialog::Accepted) {
        fieldModel_->setData(fieldModel_->index(index, colValues),
                             QString::fromStdString(picker.SelectedLibrary()),
                             TFieldGridModel::FillValueRole);
        emit Modified();
    }
}

void TSettingsPanel::EditPattern(int index) {
    const TFillField& field = fieldModel_->Field(index);
    TdlgPatternEditor editor(engine_->Sources(), field.FieldName());
    editor.SetPattern(field.FillValue());
    if (RunModal(editor) == QDialog::Accepted) {
        fieldModel_->setData(fieldModel_->index(index, colValues),
                             QString::fromStdString(editor.Pattern()),
                             TFieldGridModel::FillValueRole);
        emit Modified();
    }
}

void TSettingsPanel::cbTblFillMethodChange(int method) {
    if (CurrentTable() == nullptr) {
        return;
    }
    CurrentTable()->SetTableFillMethod(method);
    emit Modified();
    UpdateRecCountVisibility();
}

void TSettingsPanel::seRecCountChange() {
    if (CurrentTable() == nullptr) {
        return;
    }
    CurrentTable()->SetRecCount(seRecCount->Value());
    emit Modified();
}

void TSettingsPanel::UpdateRecCountVisibility() {
    const bool shown =
        CurrentTable() != nullptr && CurrentTable()->TableFillMethod() != tfUpdateExisting;
    seRecCount->setVisible(shown);
    lblRecCount->setVisible(shown);
}

bool TSettingsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sgFields->viewport() && event->type() == QEvent::Resize) {
        FitColumns();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace rowsmith
