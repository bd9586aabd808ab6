// TMainForm: creation and layout of the window.
#include "main/main_form.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "common/application.h"
#include "common/fit_to_screen.h"
#include "common/hint_text.h"
#include "common/tool_glyphs.h"
#include "engine/database_session.h"
#include "main/field_grid.h"
#include "main/hint_router.h"
#include "main/status_panel.h"

namespace rowsmith {

namespace {

constexpr int kWindowWidth = 580;
constexpr int kWindowHeight = 404;
constexpr int kRightPanelWidth = 317;
constexpr int kTablesListWidth = 113;
constexpr const char* kScenarioFilter = "Rowsmith Scenario|*.scn";

QAction* AddMenuItem(QMenu* menu, const char* name, const char* caption, const char* hint) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    SetHint(item, hint);
    return item;
}

QToolButton* AddToolButton(QToolBar* bar, const char* name, const char* caption, const char* hint,
                           const QIcon& glyph) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setText(caption);
    button->setIcon(glyph);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    SetHint(button, hint);
    bar->addWidget(button);
    return button;
}

constexpr const char* kGeometryKey = "MainWindow/Geometry";

// The window's own settings, beside the alias configuration in the user's config folder.
QSettings WindowSettings() {
    return QSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         "/rowsmith/window.ini",
                     QSettings::IniFormat);
}

QLabel* AddLabel(QBoxLayout* layout, const char* caption) {
    auto* label = new QLabel(caption);
    layout->addWidget(label);
    return label;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent),
      OpenDialog(TFileDialog::Kind::Open, kScenarioFilter),
      SaveDialog(TFileDialog::Kind::Save, kScenarioFilter, "scn") {
    setWindowTitle(kApplicationTitle);
    setWindowIcon(ApplicationIcon());

    CreateMenus();
    CreateSpeedBar();

    // Wherever no panel covers the client area, the workspace colour shows.
    auto* workspace = new QWidget;
    workspace->setBackgroundRole(QPalette::Dark);
    workspace->setAutoFillBackground(true);
    auto* workspaceLayout = new QVBoxLayout(workspace);
    workspaceLayout->setContentsMargins(0, 0, 0, 0);
    workspaceLayout->addWidget(CreateSettingsPanel());

    StatusBar = new TStatusPanel;
    PrgsBar = StatusBar->ProgressBar();

    auto* central = new QWidget;
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(workspace, 1);
    centralLayout->addWidget(StatusBar);
    setCentralWidget(central);

    ConnectCommands();
    FormCreate();

    // Wide enough for the grid's three columns, within the screen, centred; then where the user
    // left it last time.
    resize(std::max(kWindowWidth, pnlMain->ColumnsWidth()), kWindowHeight);
    FitToScreen(*this);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
    }
    restoreGeometry(WindowSettings().value(kGeometryKey).toByteArray());
}

void TMainForm::SaveWindowGeometry() {
    WindowSettings().setValue(kGeometryKey, saveGeometry());
}

TMainForm::~TMainForm() {
    FormDestroy();
}

void TMainForm::CreateMenus() {
    QMenuBar* mainMenu = menuBar();
    mainMenu->setObjectName("MainMenu");

    miWork = mainMenu->addMenu("&File");
    miWork->setObjectName("miWork");
    SetHint(miWork->menuAction(), "Fill Up all tables in scenario| ");
    miNewScenario =
        AddMenuItem(miWork, "miNewScenario", "&New Scenario...", "Create new filling scenario");
    miNewFromDatabase = AddMenuItem(
        miWork, "miNewFromDatabase", "New from &Database...",
        "Draft a new scenario from the tables of a database|Propose a filling scenario for the "
        "tables of an alias, parents first, each column's method from its type and name");
    miOpenScenario =
        AddMenuItem(miWork, "miOpenScenario", "&Open Scenario...", "Open saved filling scenario");
    miSaveScenario = AddMenuItem(miWork, "miSaveScenario", "&Save Scenario", "Save scenario");
    miSaveScenarioAs =
        AddMenuItem(miWork, "miSaveScenarioAs", "Save Scenario &As...", "Save scenario as...");
    miWork->addSeparator();
    miFillup = AddMenuItem(miWork, "miFillup", "&Fill Up", "");
    miCheck =
        AddMenuItem(miWork, "miCheck", "&Check", "Check scenario for problems before filling|");
    miShowData = AddMenuItem(miWork, "miShowData", "Show &Data", "Show filled data|");
    miWork->addSeparator();
    miExit = AddMenuItem(miWork, "miExit", "E&xit", "Exit program");

    Help1 = mainMenu->addMenu("&Help");
    Help1->setObjectName("Help1");
    Contents1 = AddMenuItem(Help1, "Contents1", "&Contents", "Help topics");
    Help1->addSeparator();
    About1 = AddMenuItem(Help1, "About1", "&About", "About the program");

    miSaveScenario->setEnabled(false);
    miSaveScenarioAs->setEnabled(false);
    miFillup->setEnabled(false);
    miCheck->setEnabled(false);
    miShowData->setEnabled(false);
}

void TMainForm::CreateSpeedBar() {
    SpeedBar = new QToolBar("Work", this);
    SpeedBar->setObjectName("SpeedBar");
    SpeedBar->setAccessibleName("Work");
    SpeedBar->setMovable(true);
    SpeedBar->setFloatable(false);
    SpeedBar->setIconSize(QSize(16, 16));
    SpeedBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    SpeedBar->toggleViewAction()->setEnabled(false);
    // The bar's button for the commands that do not fit it is a check box to screen readers;
    // Qt gives it no name.
    if (auto* more = SpeedBar->findChild<QToolButton*>("qt_toolbar_ext_button")) {
        more->setAccessibleName("More commands");
    }
    addToolBar(Qt::TopToolBarArea, SpeedBar);

    // The gaps between the buttons group them: New | Open, Save | Fill Up | Show Data.
    siNewScenario = AddToolButton(SpeedBar, "siNewScenario", "New scenario", "New scenario|",
                                  NewScenarioGlyph());
    SpeedBar->addSeparator();
    siOpenScenario = AddToolButton(SpeedBar, "siOpenScenario", "Open scenario", "Open scenario|",
                                   OpenScenarioGlyph());
    siSaveScenario = AddToolButton(SpeedBar, "siSaveScenario", "Save scenario", "Save scenario|",
                                   SaveScenarioGlyph());
    SpeedBar->addSeparator();
    siFillUp = AddToolButton(SpeedBar, "siFillUp", "FillUp", "Fill Up all tables in scenario| ",
                             FillUpGlyph());
    SpeedBar->addSeparator();
    siShowData = AddToolButton(SpeedBar, "siShowData", "Show Data", "Show Data|", ShowDataGlyph());
    siSaveScenario->setEnabled(false);
    siFillUp->setEnabled(false);
    siShowData->setEnabled(false);

    // pnlRight sits at the far end of the bar inside an always-present holder, so that it can be
    // shown and hidden like any widget.
    speedBarEnd_ = new QWidget(SpeedBar);
    speedBarEnd_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* endLayout = new QBoxLayout(QBoxLayout::LeftToRight, speedBarEnd_);
    endLayout->setContentsMargins(0, 0, 0, 0);
    endLayout->addStretch(1);
    endLayout->addWidget(CreateRightPanel());
    SpeedBar->addWidget(speedBarEnd_);
    connect(SpeedBar, &QToolBar::orientationChanged, this, &TMainForm::FollowSpeedBarOrientation);
}

QWidget* TMainForm::CreateRightPanel() {
    pnlRight = new QWidget;
    pnlRight->setObjectName("pnlRight");
    pnlRight->setFixedWidth(kRightPanelWidth);
    auto* layout = new QBoxLayout(QBoxLayout::LeftToRight, pnlRight);
    layout->setContentsMargins(2, 0, 2, 0);

    lblAliasCap = AddLabel(layout, "Database:");
    lbAlias = new QLabel;
    lbAlias->setObjectName("lbAlias");
    // Its text, the alias, is its name; the caption beside it describes it.
    lbAlias->setAccessibleDescription("Database:");
    lbAlias->setTextFormat(Qt::PlainText);
    QFont bold = lbAlias->font();
    bold.setBold(true);
    lbAlias->setFont(bold);
    // The alias stands out in the palette's link colour, which reads on light and dark themes.
    lbAlias->setForegroundRole(QPalette::Link);
    // A long alias is cut at the panel's edge instead of pushing the table list away.
    lbAlias->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(lbAlias, 1);

    lblTableCap = AddLabel(layout, "Table:");
    cbTables = new QComboBox;
    cbTables->setObjectName("cbTables");
    cbTables->setAccessibleName("Table:");
    lblTableCap->setBuddy(cbTables);
    cbTables->setFixedWidth(kTablesListWidth);
    layout->addWidget(cbTables);

    pnlRight->hide();
    return pnlRight;
}

void TMainForm::FollowSpeedBarOrientation(Qt::Orientation orientation) {
    // Docked at a side edge, the bar stacks the panel's controls instead of widening.
    const bool across = orientation == Qt::Horizontal;
    const auto direction = across ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
    static_cast<QBoxLayout*>(speedBarEnd_->layout())->setDirection(direction);
    static_cast<QBoxLayout*>(pnlRight->layout())->setDirection(direction);
    if (across) {
        pnlRight->setFixedWidth(kRightPanelWidth);
    } else {
        pnlRight->setMinimumWidth(0);
        pnlRight->setMaximumWidth(QWIDGETSIZE_MAX);
    }
}

QWidget* TMainForm::CreateSettingsPanel() {
    pnlMain = new TSettingsPanel;
    sgFields = pnlMain->sgFields;
    cbMethods = pnlMain->cbMethods;
    bbEditValue = pnlMain->bbEditValue;
    pnlBottom = pnlMain->pnlBottom;
    lblTblFillMethod = pnlMain->lblTblFillMethod;
    cbTblFillMethod = pnlMain->cbTblFillMethod;
    lblRecCount = pnlMain->lblRecCount;
    seRecCount = pnlMain->seRecCount;
    return pnlMain;
}

void TMainForm::FormCreate() {
    fillProgress_ = std::make_unique<StatusProgress>(*StatusBar);
    document_ = std::make_unique<ScenarioDocument>(*fillProgress_);

    hintRouter_ = new THintRouter(this);
    hintRouter_->Track(menuBar());
    hintRouter_->Track(miWork);
    hintRouter_->Track(Help1);
    connect(hintRouter_, &THintRouter::HintChanged, this, &TMainForm::DisplayHint);
    // What an alias's configuration gets wrong is shown when the alias is used.
    DatabaseSession::Instance().SetWarningHandler([this](const std::string& warning) {
        StatusBar->SetCaption(QString::fromStdString(warning));
    });
}

void TMainForm::FormDestroy() {
    // Controls still signal while the window goes (an open cell editor commits as it loses the
    // focus); none of it may reach the document once it is freed.
    pnlMain->Clear();
    for (QObject* control : findChildren<QObject*>()) {
        QObject::disconnect(control, nullptr, this, nullptr);
        QObject::disconnect(control, nullptr, pnlMain, nullptr);
    }
    DatabaseSession::Instance().SetWarningHandler(nullptr);
    // The document's engine reports to the listener, so the document goes first.
    document_.reset();
    fillProgress_.reset();
}

}  // namespace rowsmith
