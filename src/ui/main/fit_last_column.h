// FitLastColumn: stretches the third column of a three-column grid so that the columns together
// fill the grid's client width; the first two keep their widths. When the first two already take
// more than the client width, the third keeps the header's smallest section width and the grid
// scrolls.
#pragma once

class QTableView;

namespace rowsmith {

void FitLastColumn(QTableView& grid);

}  // namespace rowsmith
