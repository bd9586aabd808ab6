// NameForScreenReaders: a name for a control that stands without a visible label. On the desktop's
// accessibility bus a combo box is named by its current item, and what it is comes from the label
// that names it; this gives it such a label, not shown.
#pragma once

#include <QString>

class QWidget;

namespace rowsmith {

// REQUIRES: `control` has its parent already (the label goes beside it).
void NameForScreenReaders(QWidget& control, const QString& name);

}  // namespace rowsmith
