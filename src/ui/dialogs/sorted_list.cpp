#include "dialogs/sorted_list.h"

#include <QComboBox>
#include <QListWidget>

namespace rowsmith {

namespace {

template <typename TextAt>
int SortedPosition(int count, const QString& name, TextAt textAt) {
    int row = 0;
    while (row < count && textAt(row).compare(name, Qt::CaseInsensitive) <= 0) {
        ++row;
    }
    return row;
}

}  // namespace

void InsertSorted(QListWidget& list, const QString& name) {
    list.insertItem(
        SortedPosition(list.count(), name, [&list](int row) { return list.item(row)->text(); }),
        name);
}

void InsertSorted(QComboBox& combo, const QString& name) {
    combo.insertItem(
        SortedPosition(combo.count(), name, [&combo](int row) { return combo.itemText(row); }),
        name);
}

}  // namespace rowsmith
