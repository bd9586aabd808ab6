#include "main/field_grid.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "main/field_grid_delegate.h"
#include "main/field_grid_model.h"

namespace rowsmith {

namespace {

constexpr int kRowHeight = 18;
constexpr int kFieldNameWidth = 130;

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
