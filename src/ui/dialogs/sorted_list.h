// Sorted insertion for the dialogs' list and combo boxes: names are kept in order without regard
// to letter case, as the lists of tables and columns show them.
#pragma once

#include <QString>

class QComboBox;
class QListWidget;

namespace rowsmith {

// Puts `name` where a list sorted without regard to case keeps it, after any equal names.
void InsertSorted(QListWidget& list, const QString& name);
void InsertSorted(QComboBox& combo, const QString& name);

}  // namespace rowsmith
