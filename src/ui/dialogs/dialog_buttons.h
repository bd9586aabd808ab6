// The OK and Cancel buttons of the small dialogs, in a row along the bottom or a column at the
// right, with OK the default button.
#pragma once

#include <Qt>

class QBoxLayout;
class QDialog;
class QPushButton;

namespace rowsmith {

// Makes the two buttons, connects them to accept and reject, and gives their layout.
QBoxLayout* MakeOkCancelRow(QDialog& dialog, QPushButton*& ok, QPushButton*& cancel,
                            Qt::Orientation orientation);

}  // namespace rowsmith
