// TdlgEditValues7: the master-field picker, "Edit Values", for a column filled from another
// table's column: a table of the scenario's alias in cbTables and one of its columns in lbFields,
// given back as "table.column". It owns a cursor of its own, open only while ShowTable lists a
// table's columns. Both lists are sorted without regard to case.
#pragma once

#include <QDialog>
#include <string>

#include "engine/table_cursor.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace rowsmith {

class TdlgEditValues7 : public QDialog {
    Q_OBJECT

public:
    explicit TdlgEditValues7(QWidget* parent = nullptr);
    ~TdlgEditValues7() override;

    // Lists the alias's tables (without file extensions), selects the first and shows its
    // columns. An alias without tables fails with "Missing TableName property".
    void Initialise(const std::string& alias);
    // Selects the table and the column that "table.column" names, letter case ignored; a table
    // not there removes the table selection (and ShowTable then fails), a column not there leaves
    // no column selected.
    void Preselect(const std::string& text);
    // The table and the selected column as the lists write them, "table.column". Throws
    // "List index out of bounds (-1)" when no column is selected.
    std::string SelectedField() const;
    // Lists the columns of the table named by cbTables; when the table cannot be opened the
    // former columns stay.
    void ShowTable();

    QComboBox* cbTables = nullptr;
    QListWidget* lbFields = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void FormCreate();
    void FormDestroy();

    TableCursor table_;
    std::string aliasName_;
};

}  // namespace rowsmith
