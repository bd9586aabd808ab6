// TMainForm: Rowsmith's main window, alive from start-up to the end of the program. It owns the one
// scenario and shows it: the menu bar and the tool bar SpeedBar with the commands, the panel
// pnlRight naming the scenario's database and table, the settings panel pnlMain with the field
// grid, and the status panel StatusBar with the progress bar of a fill run.
//
// Commands are enabled from the scenario's state: UpdateCommands derives them from
// ScenarioFileName (empty: no scenario; "noname": a new scenario without a file; otherwise its
// file), SetModified sets the scenario-changed state, which is the enabled state of the Save menu
// item. Controls carry the names the design gives them and are public, so that the commands,
// dialogs and tests built on this window can reach them.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>

#include "fill/fill_engine.h"
#include "main/file_dialog.h"
#include "main/status_progress.h"
#include "model/fill_scenario.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QToolBar;
class QToolButton;

namespace rowsmith {

class THelpViewer;
class THintRouter;
class TStatusPanel;

// The columns of sgFields.
enum FieldGridColumn { colFieldName = 0, colFillMethod = 1, colValues = 2 };

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The one scenario, created empty; New and Open replace its contents.
    std::unique_ptr<TFillScenario> Scenario;
    // The fill engine's listener: the status caption, PrgsBar and the busy cursor.
    std::unique_ptr<StatusProgress> FillProgress;
    // Owns the work table, the master cursors and the current table; checks and fills Scenario.
    std::unique_ptr<FillEngine> Filler;
    // The scenario table shown in the grid or being checked or filled, or none.
    TFillTable* CurrentTable() const { return Filler ? Filler->CurrentTable() : nullptr; }
    // Empty: no scenario yet; "noname": a new scenario without a file; otherwise its .scn file.
    std::string ScenarioFileName;

    QToolBar* SpeedBar = nullptr;
    QToolButton* siNewScenario = nullptr;
    QToolButton* siOpenScenario = nullptr;
    QToolButton* siSaveScenario = nullptr;
    QToolButton* siFillUp = nullptr;
    QToolButton* siShowData = nullptr;

    QWidget* pnlRight = nullptr;
    QLabel* lblAliasCap = nullptr;
    QLabel* lbAlias = nullptr;
    QLabel* lblTableCap = nullptr;
    QComboBox* cbTables = nullptr;

    QWidget* pnlMain = nullptr;
    QTableWidget* sgFields = nullptr;
    QComboBox* cbMethods = nullptr;
    QPushButton* bbEditValue = nullptr;
    QWidget* pnlBottom = nullptr;
    QLabel* lblTblFillMethod = nullptr;
    QComboBox* cbTblFillMethod = nullptr;
    QLabel* lblRecCount = nullptr;
    QSpinBox* seRecCount = nullptr;

    TStatusPanel* StatusBar = nullptr;
    QProgressBar* PrgsBar = nullptr;

    QMenu* miWork = nullptr;
    QAction* miNewScenario = nullptr;
    QAction* miOpenScenario = nullptr;
    QAction* miSaveScenario = nullptr;
    QAction* miSaveScenarioAs = nullptr;
    QAction* miFillup = nullptr;
    QAction* miShowData = nullptr;
    QAction* miExit = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Contents1 = nullptr;
    QAction* About1 = nullptr;

    TFileDialog OpenDialog;
    TFileDialog SaveDialog;

    // Enables Fill Up, Save As and Show Data exactly when there is a scenario, and gives the Save
    // button the state of the Save menu item.
    void UpdateCommands();
    // Sets the scenario-changed state (both Save commands); a change also enables Save As.
    void SetModified(bool modified);
    // Offers to save a changed scenario; Yes runs SaveScenario. There is no way to cancel.
    void CheckSaveChanges();
    // Shows the application hint in the status panel.
    void DisplayHint();

    // The scenario commands. Virtual so that a test can stand in for them.
    virtual void NewScenario();
    virtual void OpenScenario();
    virtual void SaveScenario();
    virtual void SaveScenarioAs();
    virtual void FillUp();
    virtual void ShowData();

    // Closes the window exactly as its title bar does, so a changed scenario is offered for saving.
    void miExitClick();
    // Opens the help viewer on the help file's contents page.
    void Contents1Click();
    void About1Click();

    THelpViewer* HelpViewer() const { return helpViewer_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormResize();
    void FormClose();
    void FormDestroy();

    void CreateMenus();
    void CreateSpeedBar();
    QWidget* CreateRightPanel();
    QWidget* CreateSettingsPanel();
    QWidget* CreateBottomPanel();
    void ConnectCommands();
    void FollowSpeedBarOrientation(Qt::Orientation orientation);

    THintRouter* hintRouter_ = nullptr;
    THelpViewer* helpViewer_ = nullptr;
    QWidget* speedBarEnd_ = nullptr;
};

}  // namespace rowsmith
