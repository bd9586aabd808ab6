// TdlgEditScen: the "Edit scenario" dialog in which a new scenario is started: one alias and the
// tables of that alias in the order they are to be filled. The New command fills the alias choice
// (with the prompt "Choose alias" first), shows the dialog and, on OK, reads the alias and the
// tables back. The dialog checks nothing and keeps nothing; OK is accepted in every state.
//
// While the prompt is pending, lbAllTables is empty; the first real choice removes the prompt for
// good. A table stands in at most one of the two lists, and cbAlias is enabled exactly while
// lbScenTables is empty, so that all tables of a scenario belong to one alias.
//
// The foreign keys of the alias's tables help with the order: "Order by References" puts each
// table after the tables it refers to, and adding a table offers to add the tables it refers to
// (and those they refer to) that are not in the scenario yet, before it.
#pragma once

#include <QDialog>
#include <QStringList>
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
    QPushButton* btnOrderByReferences = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    // The user picked an item of cbAlias: lists that alias's tables in lbAllTables.
    void cbAliasChange();
    // Moves the selected table of lbAllTables to the end of lbScenTables, then asks whether to
    // add the tables it refers to that are not in the scenario, and adds them before it on Yes.
    void AddTable();
    // Moves the selected table of lbScenTables back into lbAllTables, in sorted order.
    void DelTable();
    void sbUpClick();
    void sbDownClick();
    // Sorts lbScenTables parents first, keeping the order of tables no reference orders; the
    // selected table stays selected.
    void btnOrderByReferencesClick();

    // The question AddTable asks, with the table added and the missing tables it refers to.
    static QString AddReferredQuestion(const QString& table, const QStringList& missing);

private:
    void FormCreate();
    QWidget* CreateBottomPanel();
    // The tables of lbAllTables that `table` refers to, directly or through them, parents first.
    QStringList MissingReferred(const QString& table) const;
    void UpdateOrderButton();

    bool firstChoicePending_ = false;
};

}  // namespace rowsmith
