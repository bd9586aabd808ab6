#include "main/field_grid.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

#include "main/field_grid_delegate.h"
#include "main/field_grid_model.h"
#include "main/fit_last_column.h"

namespace rowsmith {

namespace {

constexpr int kRowHeight = 18;
constexpr int kFieldNameWidth = 130;
// Room beside a header title, for the margins and the grid line.
constexpr int kTitleMargin = 16;

// The columns the user may show or hide.
constexpr FieldGridColumn kOptionalColumns[] = {colNullShare, colUnique};

}  // namespace

TFieldGrid::TFieldGrid(QWidget* parent) : QTableView(parent) {
    setObjectName("sgFields");
    setAccessibleName("Field settings");
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    horizontalHeader()->setDefaultSectionSize(kFieldNameWidth);
    QFont bold = horizontalHeader()->font();
    bold.setBold(true);
    horizontalHeader()->setFont(bold);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    // Tab takes the keyboard on to the table's settings below the grid, as in any form.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setItemDelegate(new TFieldGridDelegate(this));
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &TFieldGrid::CellsMoved);

    columnsMenu_ = new QMenu(this);
    columnsMenu_->setObjectName("pmColumns");
    columnsMenu_->setAccessibleName("Columns");
    horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(horizontalHeader(), &QHeaderView::customContextMenuRequested, this,
            [this](const QPoint& at) { columnsMenu_->popup(horizontalHeader()->mapToGlobal(at)); });
}

void TFieldGrid::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    columnsMenu_->clear();
    if (model == nullptr) {
        return;
    }
    const QFontMetrics titles(horizontalHeader()->font());
    for (const FieldGridColumn column : kOptionalColumns) {
        const QString title = model->headerData(column, Qt::Horizontal).toString();
        setColumnWidth(column, titles.horizontalAdvance(title) + kTitleMargin);
        setColumnHidden(column, true);
        QAction* action = columnsMenu_->addAction(title);
        action->setCheckable(true);
        connect(action, &QAction::toggled, this, [this, column](bool shown) {
            setColumnHidden(column, !shown);
            FitLastColumn(*this);
        });
    }
    // Once a table is shown; a column the user hid stays hidden during edits.
    connect(model, &QAbstractItemModel::rowsInserted, this, &TFieldGrid::ShowColumnsInUse);
}

void TFieldGrid::ShowColumnsInUse() {
    const auto* fields = qobject_cast<const TFieldGridModel*>(model());
    if (fields == nullptr) {
        return;
    }
    const QList<QAction*> actions = columnsMenu_->actions();
    for (std::size_t i = 0; i < std::size(kOptionalColumns); ++i) {
        if (isColumnHidden(kOptionalColumns[i]) && fields->ColumnInUse(kOptionalColumns[i])) {
            actions[static_cast<int>(i)]->setChecked(true);
        }
    }
}

void TFieldGrid::contextMenuEvent(QContextMenuEvent* event) {
    columnsMenu_->popup(event->globalPos());
}

void TFieldGrid::keyboardSearch(const QString&) {}

void TFieldGrid::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    const bool alt = event->modifiers() & Qt::AltModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (current.column() == colFillMethod &&
        (event->key() == Qt::Key_F4 || (alt && event->key() == Qt::Key_Down))) {
        emit MethodListRequested();
        return;
    }
    if (current.column() == colValues && ctrl &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        emit ValueEditorRequested();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TFieldGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    // The name column is fixed: a move into it lands on the method beside it.
    if (current.isValid() && current.column() == colFieldName) {
        setCurrentIndex(current.siblingAtColumn(colFillMethod));
    }
}

void TFieldGrid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    emit CellsMoved();
}

void TFieldGrid::updateGeometries() {
    QTableView::updateGeometries();
    emit CellsMoved();
}

}  // namespace rowsmith
