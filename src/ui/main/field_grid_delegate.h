// TFieldGridDelegate: creates, fills, reads back and draws the cells of the field settings grid.
// A value cell's editor hands every keystroke to the model, which checks it. The name column is
// drawn in the fixed colour; the current cell of a focused grid on the window colour with a focus
// frame; the current value cell of a set or master row shows the first 30 characters of its
// FillValue on the base colour, beside the "..." button.
#pragma once

#include <QStyledItemDelegate>

namespace rowsmith {

class TFieldGridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // How much of a set or master value the current cell shows.
    static constexpr int kShownValueChars = 30;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace rowsmith
