// TFieldGrid: the field settings grid sgFields, a table view over TFieldGridModel. It keeps a
// string grid's keyboard: arrows move between cells, Tab and Shift+Tab leave the grid, F2 or typing
// edits a value cell that may be typed into, Enter ends the edit; F4 or Alt+Down asks for the
// method list of a method cell, Ctrl+Enter for the editor of a value cell, Space ticks a unique
// cell. Typing never jumps to another row, and the name column never becomes the current cell.
//
// The NULL share and unique columns are hidden until a table shown uses them; the context menu of
// the header, or of the grid (Shift+F10 or the menu key), shows and hides them.
#pragma once

#include <QTableView>

class QMenu;

namespace rowsmith {

class TFieldGrid : public QTableView {
    Q_OBJECT

public:
    explicit TFieldGrid(QWidget* parent = nullptr);

    // Whether a cell editor is open.
    bool IsEditing() const { return state() == EditingState; }
    // A string grid's typing edits the current cell; it never searches the rows.
    void keyboardSearch(const QString& search) override;
    void setModel(QAbstractItemModel* model) override;
    // The menu that shows and hides the optional columns, one checkable action each.
    QMenu& ColumnsMenu() const { return *columnsMenu_; }

signals:
    void MethodListRequested();
    void ValueEditorRequested();
    // The cells moved on screen: the grid scrolled, was resized or a column width changed. What
    // stands over a cell is placed again from its rectangle, as the view does with its editors.
    void CellsMoved();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Shows the optional columns the table now shown uses; hides none.
    void ShowColumnsInUse();

    QMenu* columnsMenu_;
};

}  // namespace rowsmith
