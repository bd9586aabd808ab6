// FitLastColumn: stretches the third column of a grid (the field grid's values) so that the
// columns shown together fill the grid's client width; the others keep their widths. When the
// others already take more than the client width, the third keeps the header's smallest section
// width and the grid scrolls.
#pragma once

class QTableView;

namespace rowsmith {

void FitLastColumn(QTableView& grid);

}  // namespace rowsmith
