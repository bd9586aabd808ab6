#include "main/fit_last_column.h"

#include <QHeaderView>
#include <QTableView>
#include <algorithm>

namespace rowsmith {

void FitLastColumn(QTableView& grid) {
    // Qt draws the grid lines inside the columns, so the widths alone add up to the client width.
    const int width = grid.viewport()->width() - grid.columnWidth(1) - grid.columnWidth(0);
    grid.setColumnWidth(2, std::max(width, grid.horizontalHeader()->minimumSectionSize()));
}

}  // namespace rowsmith
