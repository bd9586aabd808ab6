#include "main/field_grid_delegate.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>

#include "main/field_grid_model.h"

namespace rowsmith {

namespace {

constexpr int kTextMargin = 2;

}  // namespace

QWidget* TFieldGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex&) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    // Each keystroke is checked at once, as the user types.
    connect(editor, &QLineEdit::textEdited, this,
            [this, editor] { emit const_cast<TFieldGridDelegate*>(this)->commitData(editor); });
    return editor;
}

void TFieldGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    // The model hands back what was just typed; setting it again would move the text cursor.
    if (line->text() != text) {
        line->setText(text);
    }
}

void TFieldGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                      const QModelIndex& index) const {
    model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
}

void TFieldGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (index.column() == colFieldName) {
        painter->fillRect(cell.rect, cell.palette.button());
        cell.state &= ~QStyle::State_Selected;
        cell.backgroundBrush = cell.palette.button();
    } else if (cell.state & QStyle::State_HasFocus) {
        if (index.column() == colValues &&
            TFieldGridModel::EditorMethod(index.data(TFieldGridModel::FillMethodRole).toInt())) {
            // A set or master value shows its beginning on the base colour, beside the "..."
            // button.
            const QString shown =
                index.data(TFieldGridModel::FillValueRole).toString().left(kShownValueChars);
            painter->save();
            painter->fillRect(cell.rect, cell.palette.base());
            painter->setPen(cell.palette.color(QPalette::Active, QPalette::Text));
            painter->setFont(cell.font);
            painter->drawText(cell.rect.adjusted(kTextMargin, 0, 0, 0),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
            painter->restore();
            return;
        }
        // The focused grid's current cell is drawn plain, with the focus frame only.
        cell.state &= ~QStyle::State_Selected;
    }
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
}

}  // namespace rowsmith
