#include "main/fit_last_column.h"

#include <QHeaderView>
#include <QTableView>
#include <algorithm>

namespace rowsmith {

void FitLastColumn(QTableView& grid) {
    // Qt draws the grid lines inside the columns, so the widths alone add up to the client width.
    int width = grid.viewport()->width();
    for (int column = 0; column < grid.horizontalHeader()->count(); ++column) {
        if (column != 2 && !grid.isColumnHidden(column)) {
            width -= grid.columnWidth(column);
        }
    }
    grid.setColumnWidth(2, std::max(width, grid.horizontalHeader()->minimumSectionSize()));
}

}  // namespace rowsmith
