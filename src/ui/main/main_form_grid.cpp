// TMainForm: the field settings grid and the table settings below it.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "common/application.h"
#include "common/hint_text.h"
#include "common/modal_run.h"
#include "dialogs/dlg_edit_values2.h"
#include "dialogs/dlg_edit_values7.h"
#include "fill/generators/fill_method_registry.h"
#include "main/field_grid.h"
#include "main/main_form.h"
#include "main/spin_edit.h"
#include "model/fill_methods.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

QString MethodHint(int method) {
    const FillMethodEntry* entry = FindFillMethod(method);
    return entry != nullptr ? QString(entry->hint) : QString();
}

}  // namespace

void TMainForm::ConnectGrid() {
    connect(sgFields->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TMainForm::sgFieldsSelectCell);
    connect(fieldModel_, &TFieldGridModel::Edited, this, [this] { SetModified(true); });
    connect(fieldModel_, &TFieldGridModel::ValueRejected, this, &TMainForm::ReturnToRejected,
            Qt::QueuedConnection);
    connect(fieldModel_, &TFieldGridModel::dataChanged, this, &TMainForm::PlaceGridControls);
    // The controls over the grid follow its scrolling and its column widths.
    connect(sgFields->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &TMainForm::PlaceGridControls);
    connect(sgFields->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TMainForm::PlaceGridControls);
    connect(sgFields->horizontalHeader(), &QHeaderView::sectionResized, this,
            &TMainForm::PlaceGridControls);
    connect(sgFields, &TFieldGrid::MethodListRequested, cbMethods, &QComboBox::showPopup);
    // The editors reach the database: their errors are shown before they could unwind through Qt.
    const auto editValue = Handled([this] { bbEditValueClick(); });
    connect(sgFields, &TFieldGrid::ValueEditorRequested, this, editValue);
    connect(cbMethods, &QComboBox::activated, this, &TMainForm::cbMethodsChange);
    connect(bbEditValue, &QPushButton::clicked, this, editValue);
    connect(cbTblFillMethod, &QComboBox::activated, this, &TMainForm::cbTblFillMethodChange);
    connect(seRecCount, &TSpinEdit::Change, this, &TMainForm::seRecCountChange);
}

void TMainForm::ShowFillTable() {
    pnlMain->hide();
    fieldModel_->Clear();
    FillEngine& filler = document_->Filler();
    filler.BindTable(document_->Scenario().Tables().Items(cbTables->currentIndex()));
    // Settings of columns the table no longer has go, so that each row shows its own column's
    // setting and a save writes the repaired scenario.
    if (filler.DropOrphanSettings()) {
        SetModified(true);
    }
    TFillTable& table = *filler.CurrentTable();
    fieldModel_->ShowTable(&filler);
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
    pnlMain->show();
    PlaceGridControls();
}

void TMainForm::GoToColumn(const std::string& table, const std::string& column) {
    const int index = cbTables->findText(QString::fromStdString(table),
                                         Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index < 0) {
        return;
    }
    cbTables->setCurrentIndex(index);
    ShowFillTable();
    if (!column.empty()) {
        const QModelIndexList rows = fieldModel_->match(
            fieldModel_->index(0, colFieldName), Qt::DisplayRole, QString::fromStdString(column), 1,
            Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (!rows.isEmpty()) {
            sgFields->setCurrentIndex(rows.front().siblingAtColumn(colFillMethod));
        }
    }
    sgFields->setFocus();
}

void TMainForm::sgFieldsSelectCell(const QModelIndex& current) {
    if (current.isValid()) {
        SetHint(sgFields, MethodHint(fieldModel_->Field(current.row()).FillMethod()), false);
    }
    PlaceGridControls();
}

void TMainForm::ReturnToRejected(const QModelIndex& index) {
    if (index.isValid() && sgFields->currentIndex() != index) {
        sgFields->setCurrentIndex(index);
    }
}

void TMainForm::PlaceGridControls() {
    const QModelIndex current = sgFields->currentIndex();
    QRect cell;
    if (current.isValid() && pnlMain->isVisible()) {
        const QRect inView = sgFields->visualRect(current);
        if (sgFields->viewport()->rect().intersects(inView)) {
            cell = QRect(sgFields->viewport()->mapTo(pnlMain, inView.topLeft()), inView.size());
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
    if (!cell.isNull() && current.column() == colValues && TFieldGridModel::EditorMethod(method)) {
        PlaceEditButton(cell);
    } else {
        bbEditValue->hide();
    }
}

void TMainForm::PlaceEditButton(const QRect& cell) {
    const int side = cell.height();
    bbEditValue->setGeometry(cell.right() - side + 1, cell.top(), side, side);
    bbEditValue->show();
    bbEditValue->raise();
}

void TMainForm::cbMethodsChange(int method) {
    const QModelIndex current = sgFields->currentIndex();
    if (!current.isValid()) {
        return;
    }
    fieldModel_->setData(current.siblingAtColumn(colFillMethod), method);
    SetModified(true);
    SetHint(cbMethods, MethodHint(method));
    SetHint(sgFields, MethodHint(method), false);
}

void TMainForm::bbEditValueClick() {
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
            case ValueEditor::None:
                break;
        }
    }
    sgFields->setFocus();
}

void TMainForm::EditValueSet(int index) {
    TdlgEditValues2 editor;
    editor.SetValues(fieldModel_->Field(index).ValueSet());
    if (RunModal(editor) == QDialog::Accepted) {
        fieldModel_->setData(fieldModel_->index(index, colValues),
                             QString::fromStdString(editor.ValueSetText()),
                             TFieldGridModel::FillValueRole);
        SetModified(true);
    }
}

void TMainForm::EditMasterField(int index) {
    TdlgEditValues7 picker;
    picker.Initialise(document_->Scenario().AliasName());
    const std::string& value = fieldModel_->Field(index).FillValue();
    if (!TrimSpaces(value).empty()) {
        picker.Preselect(value);
    }
    if (RunModal(picker) == QDialog::Accepted) {
        fieldModel_->setData(fieldModel_->index(index, colValues),
                             QString::fromStdString(picker.SelectedField()),
                             TFieldGridModel::FillValueRole);
        SetModified(true);
    }
}

void TMainForm::cbTblFillMethodChange(int method) {
    if (CurrentTable() == nullptr) {
        return;
    }
    CurrentTable()->SetTableFillMethod(method);
    SetModified(true);
    UpdateRecCountVisibility();
}

void TMainForm::seRecCountChange() {
    if (CurrentTable() == nullptr) {
        return;
    }
    CurrentTable()->SetRecCount(seRecCount->Value());
    SetModified(true);
}

void TMainForm::UpdateRecCountVisibility() {
    const bool shown =
        CurrentTable() != nullptr && CurrentTable()->TableFillMethod() != tfUpdateExisting;
    seRecCount->setVisible(shown);
    lblRecCount->setVisible(shown);
}

}  // namespace rowsmith
