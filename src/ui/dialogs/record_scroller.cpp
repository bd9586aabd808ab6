#include "dialogs/record_scroller.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "dialogs/table_data_model.h"

namespace rowsmith {

namespace {

// How near an edge of the window the grid may come before the window moves: far more than a
// page, so that no key reaches the edge before the window has moved.
constexpr int kEdgeMargin = TableDataModel::kWindowRows / 4;

bool IsModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

}  // namespace

RecordScroller::RecordScroller(QTableView& grid, TableDataModel& model, QScrollBar& bar)
    : QObject(&grid), grid_(grid), model_(model), bar_(bar) {
    grid_.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    bar_.setOrientation(Qt::Vertical);
    bar_.setSingleStep(1);
    grid_.installEventFilter(this);
    QScrollBar& inner = *grid_.verticalScrollBar();
    connect(&inner, &QScrollBar::valueChanged, this, [this] { GridScrolled(); });
    connect(&inner, &QScrollBar::rangeChanged, this, [this] { GridScrolled(); });
    connect(&bar_, &QScrollBar::valueChanged, this, [this](int top) {
        if (!syncing_) {
            ShowFrom(top);
        }
    });
    connect(&model_, &TableDataModel::TableRowsChanged, this, [this] { UpdateBar(); });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] { currentRecord_ = -1; });
    connect(grid_.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    currentRecord_ = model_.TableRow(current.row());
                    currentColumn_ = current.column();
                }
            });
    UpdateBar();
}

int RecordScroller::CurrentRecord() const {
    // Rows that come and go before the current cell move it without a signal.
    const QModelIndex current = grid_.currentIndex();
    return current.isValid() ? model_.TableRow(current.row()) : currentRecord_;
}

void RecordScroller::GoToRecord(int row, int column) {
    if (row < 0 || row >= model_.TableRows()) {
        return;
    }
    const int modelRow = model_.ModelRow(row);
    if (modelRow == -1 || NearWindowEdge(modelRow)) {
        MoveWindow(row - TableDataModel::kWindowRows / 2);
    }
    const QModelIndex index = model_.index(model_.ModelRow(row), column);
    grid_.setCurrentIndex(index);
    grid_.scrollTo(index);
}

bool RecordScroller::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &grid_ || event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* press = static_cast<const QKeyEvent*>(event);
    const int key = press->key();
    const QModelIndex current = grid_.currentIndex();
    if ((press->modifiers() & Qt::ControlModifier) && (key == Qt::Key_Home || key == Qt::Key_End)) {
        // The grid goes on to the first or last row of what the model shows: the window is
        // brought to that end of the table first.
        GoToRecord(key == Qt::Key_End ? model_.TableRows() - 1 : 0,
                   current.isValid() ? current.column() : currentColumn_);
    } else if (!current.isValid() && currentRecord_ != -1 && !IsModifierKey(key)) {
        GoToRecord(currentRecord_, currentColumn_);
    }
    return false;
}

void RecordScroller::ShowFrom(int top) {
    QScrollBar& inner = *grid_.verticalScrollBar();
    const int modelTop = top - model_.WindowStart();
    if (modelTop < 0 || modelTop + inner.pageStep() > model_.rowCount() ||
        NearWindowEdge(modelTop)) {
        MoveWindow(top + inner.pageStep() / 2 - TableDataModel::kWindowRows / 2);
    }
    syncing_ = true;
    inner.setValue(top - model_.WindowStart());
    syncing_ = false;
    UpdateBar();
}

void RecordScroller::MoveWindow(int start) {
    start = std::clamp(start, 0, model_.LastWindowStart());
    if (start == model_.WindowStart()) {
        return;
    }
    const QModelIndex current = grid_.currentIndex();
    if (current.isValid()) {
        currentRecord_ = model_.TableRow(current.row());
        currentColumn_ = current.column();
        // An open editor commits to its own record before the rows show others.
        grid_.setCurrentIndex(QModelIndex());
    }
    model_.SetWindowStart(start);
    const int row = model_.ModelRow(currentRecord_);
    if (row != -1) {
        // The grid stays where the caller scrolls it.
        const bool autoScroll = grid_.hasAutoScroll();
        grid_.setAutoScroll(false);
        grid_.setCurrentIndex(model_.index(row, currentColumn_));
        grid_.setAutoScroll(autoScroll);
    }
}

void RecordScroller::GridScrolled() {
    if (syncing_) {
        return;
    }
    UpdateBar();
    if (recentreQueued_ || !NearWindowEdge(grid_.verticalScrollBar()->value())) {
        return;
    }
    // Once the grid has finished its own move, of which this scroll may be a part.
    recentreQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        recentreQueued_ = false;
        ShowFrom(model_.WindowStart() + grid_.verticalScrollBar()->value());
    });
}

bool RecordScroller::NearWindowEdge(int top) const {
    const int rows = model_.rowCount();
    const int visible = grid_.verticalScrollBar()->pageStep();
    return (model_.WindowStart() > 0 && top < kEdgeMargin) ||
           (model_.WindowStart() + rows < model_.TableRows() && top + visible > rows - kEdgeMargin);
}

void RecordScroller::UpdateBar() {
    const QScrollBar& inner = *grid_.verticalScrollBar();
    const int outside = model_.TableRows() - model_.rowCount();
    syncing_ = true;
    bar_.setRange(0, std::max(outside + inner.maximum(), 0));
    bar_.setPageStep(inner.pageStep());
    bar_.setValue(model_.WindowStart() + inner.value());
    syncing_ = false;
    bar_.setHidden(bar_.maximum() == 0);
}

}  // namespace rowsmith
