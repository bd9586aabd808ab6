// The parts the small dialogs are built of: OK and Cancel in a row along the bottom or a column at
// the right, labels that name the control below them, and the named lists and choices, so that
// every dialog's controls look and read (to a screen reader too) the same way.
#pragma once

#include <QString>
#include <Qt>

class QBoxLayout;
class QComboBox;
class QDialog;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace rowsmith {

// Makes the two buttons, OK the default one, connects them to accept and reject, and gives their
// layout.
QBoxLayout* MakeOkCancelRow(QDialog& dialog, QPushButton*& ok, QPushButton*& cancel,
                            Qt::Orientation orientation);

// A label whose mnemonic and accessible relation go to `buddy`.
QLabel* MakeBuddyLabel(const QString& caption, QWidget* buddy);

// A single-selection list box with its object name, its accessible name and a smallest size.
QListWidget* MakeNamedList(const char* name, const QString& accessibleName, int width, int height);

// A drop-down list that a long item does not widen beyond `width`; its open list shows items
// whole.
QComboBox* MakeNamedCombo(const char* name, const QString& accessibleName, int width);

}  // namespace rowsmith
