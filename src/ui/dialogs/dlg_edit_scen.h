// TdlgEditScen: the "Edit scenario" dialog in which a new scenario is started: one alias and the
// tables of that alias in the order they are to be filled. The New command fills the alias choice
// (with the prompt "Choose alias" first), shows the dialog and, on OK, reads the alias and the
// tables back. The dialog checks nothing and keeps nothing; OK is accepted in every state.
//
// While the prompt is pending, lbAllTables is empty; the first real choice removes the prompt for
// good. A table stands in at most one of the two lists, and cbAlias is enabled exactly while
// lbScenTables is empty, so that all tables of a scenario belong to one alias.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QListWidget;
class QPushButton;
class QToolButton;

namespace rowsmith {

class TdlgEditScen : public QDialog {
    Q_OBJECT

public:
    // The prompt the caller puts first in cbAlias.
    static constexpr const char* kChooseAlias = "Choose alias";

    explicit TdlgEditScen(QWidget* parent = nullptr);

    // Fills cbAlias with `aliases` in their order, with the prompt first and selected.
    void SetAliases(const std::vector<std::string>& aliases);
    // The text of cbAlias: the chosen alias, or the prompt when none was chosen.
    std::string AliasName() const;
    // The items of lbScenTables from first to last.
    std::vector<std::string> ScenarioTables() const;
    bool FirstChoicePending() const { return firstChoicePending_; }

    QComboBox* cbAlias = nullptr;
    QListWidget* lbAllTables = nullptr;
    QListWidget* lbScenTables = nullptr;
    QToolButton* sbAdd = nullptr;
    QToolButton* sbDelete = nullptr;
    QToolButton* sbUp = nullptr;
    QToolButton* sbDown = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    // The user picked an item of cbAlias: lists that alias's tables in lbAllTables.
    void cbAliasChange();
    // Moves the selected table of lbAllTables to the end of lbScenTables.
    void AddTable();
    // Moves the selected table of lbScenTables back into lbAllTables, in sorted order.
    void DelTable();
    void sbUpClick();
    void sbDownClick();

private:
    void FormCreate();
    QWidget* CreateBottomPanel();

    bool firstChoicePending_ = false;
};

}  // namespace rowsmith
