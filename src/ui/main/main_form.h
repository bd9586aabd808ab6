// TMainForm: Rowsmith's main window, alive from start-up to the end of the program. It owns the one
// scenario and shows it: the menu bar and the tool bar SpeedBar with the commands, the panel
// pnlRight naming the scenario's database and table, the settings panel pnlMain with the field
// grid, and the status panel StatusBar with the progress bar of a fill run.
//
// The scenario's state is data, kept by a ScenarioDocument; the window's handlers translate between
// the controls and it, and UpdateCommands derives every enabled state from it. Controls carry the
// names the design gives them and are public, so that the tests can reach them as a person would.
#pragma once

#include <QMainWindow>
#include <QModelIndex>
#include <memory>
#include <optional>
#include <string>

#include "main/field_grid_model.h"
#include "main/file_dialog.h"
#include "main/scenario_document.h"
#include "main/settings_panel.h"
#include "main/status_progress.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QToolBar;
class QToolButton;

namespace rowsmith {

class TFieldGrid;
class TSpinEdit;
class THelpViewer;
class THintRouter;
class TStatusPanel;

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The scenario on show, its file, its changed state and the engine that fills it.
    ScenarioDocument& Document() { return *document_; }
    // The scenario table shown in the grid or being checked or filled, or none.
    TFillTable* CurrentTable() const { return document_->Filler().CurrentTable(); }

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

    TSettingsPanel* pnlMain = nullptr;
    TFieldGrid* sgFields = nullptr;
    QComboBox* cbMethods = nullptr;
    QPushButton* bbEditValue = nullptr;
    QWidget* pnlBottom = nullptr;
    QLabel* lblTblFillMethod = nullptr;
    QComboBox* cbTblFillMethod = nullptr;
    QLabel* lblRecCount = nullptr;
    TSpinEdit* seRecCount = nullptr;

    TStatusPanel* StatusBar = nullptr;
    QProgressBar* PrgsBar = nullptr;

    QMenu* miWork = nullptr;
    QAction* miNewScenario = nullptr;
    QAction* miNewFromDatabase = nullptr;
    QAction* miOpenScenario = nullptr;
    QAction* miSaveScenario = nullptr;
    QAction* miSaveScenarioAs = nullptr;
    QAction* miFillup = nullptr;
    QAction* miCheck = nullptr;
    QAction* miShowData = nullptr;
    QAction* miExit = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Contents1 = nullptr;
    QAction* About1 = nullptr;

    TFileDialog OpenDialog;
    TFileDialog SaveDialog;

    // Derives every command's enabled state from the document: Fill Up, Check, Save As and Show
    // Data exactly when there is a scenario, both Save commands exactly when it changed.
    void UpdateCommands();
    // Sets the scenario-changed state and shows it on both Save commands; a change also enables
    // Save As.
    void SetModified(bool modified);
    // Offers to save a changed scenario; Yes runs SaveScenario. There is no way to cancel.
    void CheckSaveChanges();
    // Shows the application hint in the status panel.
    void DisplayHint();

    // The scenario commands. Virtual so that a test can stand in for them.
    virtual void NewScenario();
    // Drafts a new scenario from the tables of an alias, chosen in its dialog, and shows it as a
    // changed scenario without a file.
    virtual void NewFromDatabase();
    virtual void OpenScenario();
    virtual void SaveScenario();
    virtual void SaveScenarioAs();
    virtual void FillUp();
    virtual void ShowData();
    // Lists what will fail or surprise in a fill of the scenario as it is now, saved or not, and
    // takes the user to the table and column of the warning chosen in the list.
    virtual void Check();

    // Opens the scenario file at `path` as the Open command does once a file is chosen, then
    // brings the commands up to date (a file named on the command line). A path that is no file
    // is an error, and the window stays as it was.
    void OpenScenarioFile(const QString& path);
    // Saves the scenario to `fileName` and marks it unchanged.
    void WriteScenario(const std::string& fileName);
    // Shows the scenario: the alias, the caption, the table list and the first table.
    void ShowScenario();
    // Shows the scenario table selected in cbTables in the grid and the controls below it.
    void ShowFillTable();
    // Shows the scenario table `table` as choosing it in cbTables does and makes the row of its
    // column `column` current in the grid (the first row when `column` is empty).
    void GoToColumn(const std::string& table, const std::string& column);

    TFieldGridModel& FieldModel() const { return pnlMain->Model(); }

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

private:
    void FormCreate();
    void FormShow();
    void FormResize();
    void FormClose();
    void FormDestroy();
    // Keeps the window's size and place for the next run.
    void SaveWindowGeometry();

    void CreateMenus();
    void CreateSpeedBar();
    QWidget* CreateRightPanel();
    QWidget* CreateSettingsPanel();
    void ConnectCommands();
    void FollowSpeedBarOrientation(Qt::Orientation orientation);

    // Loads `path` into the scenario and shows it: the Open command after its dialog.
    void LoadScenario(const QString& path);
    // For when the scenario's table list is emptied: no control may reach a freed table.
    void HideTables();
    // The folder a file dialog opens in: the scenario's, else the examples, else home.
    QString ScenarioFolder() const;
    // Asks SaveDialog for a file name.
    std::optional<std::string> ChooseSaveName();

    // The fill engine's listener: the status caption, PrgsBar and the busy cursor. It outlives
    // the document, whose engine reports to it.
    std::unique_ptr<StatusProgress> fillProgress_;
    std::unique_ptr<ScenarioDocument> document_;
    THintRouter* hintRouter_ = nullptr;
    THelpViewer* helpViewer_ = nullptr;
    QWidget* speedBarEnd_ = nullptr;
};

}  // namespace rowsmith
