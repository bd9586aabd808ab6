// TdlgDraft: the dialog of File > New from Database: an alias, its tables in the order a draft
// fills them, each with a box to leave it out and the number of records to write, and the notes
// on what the draft leaves undone. Picking an alias drafts its tables; OK makes the scenario of
// the tables ticked, with their counts as the dialog shows them.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "model/fill_scenario.h"

class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace rowsmith {

class TdlgDraft : public QDialog {
    Q_OBJECT

public:
    // The grid's columns.
    enum Column { colTable, colRecords };

    explicit TdlgDraft(QWidget* parent = nullptr);

    // Fills cbAlias with `aliases` in their order, with the prompt "Choose alias" first.
    void SetAliases(const std::vector<std::string>& aliases);
    // The alias chosen, empty while the prompt stands.
    std::string AliasName() const;
    // The ticked tables in the grid's order, each with its record count.
    std::vector<std::pair<std::string, std::int32_t>> ChosenTables() const;
    // Makes the scenario of the ticked tables in `scenario`, which has no tables yet; the draft's
    // notes for them go to `notes`.
    void MakeScenario(TFillScenario& scenario, std::vector<std::string>& notes) const;

    QComboBox* cbAlias = nullptr;
    QTableWidget* sgTables = nullptr;
    QPlainTextEdit* memNotes = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    // The user picked an item of cbAlias: drafts that alias's tables into the grid.
    void cbAliasChange();
};

}  // namespace rowsmith
