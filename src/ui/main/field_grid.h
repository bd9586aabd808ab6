// TFieldGrid: the field settings grid sgFields, a table view over TFieldGridModel. It keeps a
// string grid's keyboard: arrows and Tab move between cells, F2 or typing edits a value cell that
// may be typed into, Enter ends the edit; F4 or Alt+Down asks for the method list of a method
// cell, Ctrl+Enter for the editor of a value cell. Typing never jumps to another row, and the
// name column never becomes the current cell.
#pragma once

#include <QTableView>

namespace rowsmith {

class TFieldGrid : public QTableView {
    Q_OBJECT

public:
    explicit TFieldGrid(QWidget* parent = nullptr);

    // Whether a cell editor is open.
    bool IsEditing() const { return state() == EditingState; }
    // A string grid's typing edits the current cell; it never searches the rows.
    void keyboardSearch(const QString& search) override;

signals:
    void MethodListRequested();
    void ValueEditorRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
};

}  // namespace rowsmith
