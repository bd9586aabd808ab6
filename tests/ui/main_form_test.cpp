// The main window: its state at start-up, the command states, closing with and without changes,
// the last grid column, hints and the wiring of the commands.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include "common/hint_text.h"
#include "engine/database_session.h"
#include "fill/generators/fill_method_registry.h"
#include "main/field_grid.h"
#include "main/fit_last_column.h"
#include "main/spin_edit.h"
#include "main/status_panel.h"
#include "model/fill_methods.h"
#include "temp_dir.h"
#include "ui_test_support.h"

namespace rowsmith::test {

namespace {

bool IsEnabled(const TMainForm& form, const QString& name) {
    if (auto* item = form.findChild<QAction*>(name)) {
        return item->isEnabled();
    }
    auto* control = form.findChild<QWidget*>(name);
    if (control == nullptr) {
        qFatal("no control named %s", qPrintable(name));
    }
    return control->isEnabled();
}

// The enabled states of Save (item, button), Save As, Fill Up (item, button) and Show Data (item,
// button) as a string of 0 and 1.
QString SaveFillShowStates(const TMainForm& form) {
    QString states;
    for (const char* name : {"miSaveScenario", "siSaveScenario", "miSaveScenarioAs", "miFillup",
                             "siFillUp", "miShowData", "siShowData"}) {
        states += IsEnabled(form, name) ? u'1' : u'0';
    }
    return states;
}

// Closes the window the way `how` names: Exit, the close button of the title bar or the window
// manager's Close (both reach the program as the window system's close request), or the end of the
// desktop session (the session manager has the application quit, which closes its windows).
void CloseBy(TMainForm& form, const QString& how) {
    if (how == "Exit") {
        Trigger(form.miExit);
    } else if (how == "window system") {
        form.windowHandle()->close();
    } else {
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
    }
}

QStringList Captions(const QMenu* menu) {
    QStringList captions;
    for (const QAction* item : menu->actions()) {
        captions << (item->isSeparator() ? QString("-") : item->text());
    }
    return captions;
}

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void startUpStates_data();
    void startUpStates();
    void startUpLayout();
    void controlsHaveAccessibleNames();
    void menusInOrder();
    void commandStates_data();
    void commandStates();
    void closing_data();
    void closing();
    void closingWhoseSaveFailsStaysOpen_data();
    void closingWhoseSaveFailsStaysOpen();
    void wideningWidensLastColumn();
    void narrowGridKeepsLastColumnReachable();
    void menuItemHintGoesToStatusPanel_data();
    void menuItemHintGoesToStatusPanel();
    void toolButtonShowsShortHintAndBlanksPanel_data();
    void toolButtonShowsShortHintAndBlanksPanel();
    void changedHintOfPointedControlShowsAtOnce();
    void commandsReachTheirHandlers_data();
    void commandsReachTheirHandlers();
    void aliasWarningShowsInStatusPanel();
};

void MainFormTest::startUpStates_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    for (const char* name : {"miNewScenario", "miNewFromDatabase", "miOpenScenario", "miExit",
                             "Contents1", "About1", "siNewScenario", "siOpenScenario"}) {
        QTest::newRow(name) << QString(name) << true;
    }
    for (const char* name : {"miSaveScenario", "miSaveScenarioAs", "miFillup", "miShowData",
                             "siSaveScenario", "siFillUp", "siShowData"}) {
        QTest::newRow(name) << QString(name) << false;
    }
}

void MainFormTest::startUpStates() {
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    TMainForm form;
    ShowAndWait(form);
    QCOMPARE(IsEnabled(form, name), enabled);
}

void MainFormTest::startUpLayout() {
    TMainForm form;
    ShowAndWait(form);
    QCOMPARE(form.windowTitle(), QString("Rowsmith"));
    QVERIFY(form.pnlRight->isHidden());
    QVERIFY(form.pnlMain->isHidden());
    QVERIFY(form.PrgsBar->isHidden());
    QVERIFY(form.cbMethods->isHidden());
    QVERIFY(form.bbEditValue->isHidden());
    QCOMPARE(form.StatusBar->Caption(), QString());
    QCOMPARE(form.Document().Scenario().Tables().Count(), 0);
    QVERIFY(form.CurrentTable() == nullptr);
    QVERIFY(!form.Document().HasScenario());

    const QAbstractItemModel& grid = *form.sgFields->model();
    QCOMPARE(grid.columnCount(), 5);
    QCOMPARE(grid.headerData(colFieldName, Qt::Horizontal).toString(), QString("Field name"));
    QCOMPARE(grid.headerData(colFillMethod, Qt::Horizontal).toString(), QString("Filling method"));
    QCOMPARE(grid.headerData(colValues, Qt::Horizontal).toString(), QString("Values"));
    QCOMPARE(grid.headerData(colNullShare, Qt::Horizontal).toString(), QString("Nulls %"));
    QCOMPARE(grid.headerData(colUnique, Qt::Horizontal).toString(), QString("Unique"));
    QVERIFY(form.sgFields->isColumnHidden(colNullShare));
    QVERIFY(form.sgFields->isColumnHidden(colUnique));
    QCOMPARE(form.sgFields->columnWidth(colFieldName), 130);
    // The design's width, or wider where the desktop's font needs it for the longest caption.
    QVERIFY(form.sgFields->columnWidth(colFillMethod) >= 171);
    QCOMPARE(form.cbMethods->count(), int(FillMethods().size()));
    QCOMPARE(form.cbMethods->itemText(fmMasterTable), QString("The values from the master table"));
    QCOMPARE(form.cbTblFillMethod->itemText(tfEmptyAndFill), QString("Emty table and fill"));
    QCOMPARE(form.cbTblFillMethod->count(), 3);
    QCOMPARE(form.seRecCount->value(), 100);
    QCOMPARE(form.seRecCount->minimum(), std::numeric_limits<int>::min());
    QCOMPARE(form.seRecCount->maximum(), std::numeric_limits<int>::max());
}

void MainFormTest::controlsHaveAccessibleNames() {
    TMainForm form;
    ShowAndWait(form);
    // Every control a person uses carries a name a screen reader can say: its own, or the
    // caption it shows.
    const QRegularExpression control("^(cb|se|sb|si|bb|sg)[A-Z]");
    int checked = 0;
    for (const QWidget* widget : form.findChildren<QWidget*>()) {
        if (!control.match(widget->objectName()).hasMatch()) {
            continue;
        }
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        const QString name = widget->accessibleName().isEmpty() && button != nullptr
                                 ? button->text()
                                 : widget->accessibleName();
        QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
        ++checked;
    }
    QCOMPARE(checked, 11);
}

void MainFormTest::menusInOrder() {
    TMainForm form;
    QCOMPARE(Captions(form.miWork),
             QStringList({"&New Scenario...", "New from &Database...", "&Open Scenario...",
                          "&Save Scenario", "Save Scenario &As...", "-", "&Fill Up", "&Check",
                          "Show &Data", "-", "E&xit"}));
    QCOMPARE(Captions(form.Help1), QStringList({"&Contents", "-", "&About"}));
    for (const QAction* item : form.findChildren<QAction*>()) {
        QVERIFY2(item->shortcut().isEmpty(), qPrintable(item->text()));
    }
}

void MainFormTest::commandStates_data() {
    // Steps: U UpdateCommands, M1/M0 SetModified(true/false), N what New does before it updates
    // the commands (a "noname" scenario, marked changed), O a scenario read from a file.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("states");
    QTest::newRow("new scenario") << "N U"
                                  << "1111111";
    QTest::newRow("New enables Save, Fill Up and Show Data follow on update") << "N"
                                                                              << "1110000";
    QTest::newRow("new scenario saved") << "N U M0"
                                        << "0011111";
    QTest::newRow("saved scenario edited") << "N U M0 M1"
                                           << "1111111";
    QTest::newRow("opened file") << "O U"
                                 << "0011111";
    QTest::newRow("opened file edited") << "O U M1"
                                        << "1111111";
    QTest::newRow("saving keeps Save As") << "O U M1 M0"
                                          << "0011111";
    QTest::newRow("change without a scenario") << "M1"
                                               << "1110000";
    QTest::newRow("Save As follows Fill Up on update") << "M1 U"
                                                       << "1100000";
}

void MainFormTest::commandStates() {
    QFETCH(QString, steps);
    QFETCH(QString, states);
    TMainForm form;
    ShowAndWait(form);
    for (const QString& step : steps.split(u' ')) {
        if (step == "U") {
            form.UpdateCommands();
        } else if (step == "M1" || step == "M0") {
            form.SetModified(step == "M1");
        } else if (step == "N") {
            form.Document().SetFileName("noname");
            form.SetModified(true);
        } else if (step == "O") {
            form.Document().SetFileName("/tmp/sales.scn");
        }
        QCOMPARE(form.miShowData->isEnabled(), form.siShowData->isEnabled());
        QCOMPARE(form.miCheck->isEnabled(), form.miFillup->isEnabled());
    }
    QCOMPARE(SaveFillShowStates(form), states);
}

void MainFormTest::closing_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<bool>("byExit");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("saves");
    for (bool byExit : {false, true}) {
        const char* how = byExit ? "Exit" : "close";
        QTest::addRow("%s unchanged", how) << false << true << byExit << 0 << 0;
        QTest::addRow("%s changed, Yes", how) << true << true << byExit << 1 << 1;
        QTest::addRow("%s changed, No", how) << true << false << byExit << 1 << 0;
    }
}

void MainFormTest::closing() {
    QFETCH(bool, changed);
    QFETCH(bool, answerYes);
    QFETCH(bool, byExit);
    QFETCH(int, questions);
    QFETCH(int, saves);
    ModalAnswers answers;
    answers.answerYes = answerYes;
    RecordingForm form;
    ShowAndWait(form);
    form.Document().SetFileName("noname");
    form.SetModified(changed);

    if (byExit) {
        form.miExit->trigger();
    } else {
        form.close();
    }

    QVERIFY(!form.isVisible());
    QCOMPARE(answers.questions.size(), questions);
    if (questions > 0) {
        QCOMPARE(answers.questions.first(), QString("Scenario was changed. Save changes?"));
    }
    QCOMPARE(form.calls.count("SaveScenario"), saves);
}

void MainFormTest::closingWhoseSaveFailsStaysOpen_data() {
    QTest::addColumn<QString>("how");
    for (const char* how : {"Exit", "window system", "session end"}) {
        QTest::newRow(how) << QString(how);
    }
}

void MainFormTest::closingWhoseSaveFailsStaysOpen() {
    QFETCH(QString, how);
    const TempDir folder;
    const std::string path = folder.File("plans/shop.scn");
    ModalAnswers answers;
    answers.answerYes = true;
    TMainForm form;
    ShowAndWait(form);
    form.Document().SetFileName(path);
    form.SetModified(true);

    CloseBy(form, how);

    QCOMPARE(answers.questions, QStringList("Scenario was changed. Save changes?"));
    QCOMPARE(answers.errors,
             QStringList("Cannot create file " + QString::fromStdString(path) + "."));
    QVERIFY(form.isVisible());
    QVERIFY(form.Document().Modified());
    QVERIFY(form.miSaveScenario->isEnabled());

    // Once the file can be written, the same way out saves it and closes the window.
    QVERIFY(QDir().mkpath(QString::fromStdString(folder.File("plans"))));
    CloseBy(form, how);
    QVERIFY(!form.isVisible());
    QVERIFY(QFileInfo::exists(QString::fromStdString(path)));
    QVERIFY(!form.Document().Modified());
}

void MainFormTest::wideningWidensLastColumn() {
    TMainForm form;
    ShowAndWait(form);
    form.pnlMain->show();
    QCoreApplication::processEvents();
    // The method column is the design's width, or wider where a caption needs it.
    const int method = form.sgFields->columnWidth(colFillMethod);
    QVERIFY(method >= 171);
    const int before = form.sgFields->columnWidth(colValues);
    QCOMPARE(before, form.sgFields->viewport()->width() - 130 - method);

    form.resize(form.width() + 50, form.height());
    QCoreApplication::processEvents();

    QCOMPARE(form.sgFields->columnWidth(colValues), before + 50);
    QCOMPARE(form.sgFields->columnWidth(colFieldName), 130);
    QCOMPARE(form.sgFields->columnWidth(colFillMethod), method);
}

void MainFormTest::narrowGridKeepsLastColumnReachable() {
    TMainForm form;
    ShowAndWait(form);
    form.pnlMain->show();
    form.sgFields->setColumnWidth(colFillMethod, 2000);
    FitLastColumn(*form.sgFields);
    QCOMPARE(form.sgFields->columnWidth(colValues),
             form.sgFields->horizontalHeader()->minimumSectionSize());
}

void MainFormTest::menuItemHintGoesToStatusPanel_data() {
    // Each item is highlighted after another one whose hint differs, so a blank shows too.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("longHint");
    QTest::newRow("New") << "miExit"
                         << "miNewScenario"
                         << "Create new filling scenario";
    QTest::newRow("Open") << "miExit"
                          << "miOpenScenario"
                          << "Open saved filling scenario";
    QTest::newRow("Save") << "miExit"
                          << "miSaveScenario"
                          << "Save scenario";
    QTest::newRow("Save As") << "miExit"
                             << "miSaveScenarioAs"
                             << "Save scenario as...";
    QTest::newRow("Fill Up, no hint") << "miExit"
                                      << "miFillup"
                                      << "";
    QTest::newRow("Show Data, short hint only") << "miExit"
                                                << "miShowData"
                                                << "";
    QTest::newRow("Exit") << "miNewScenario"
                          << "miExit"
                          << "Exit program";
    QTest::newRow("Contents") << "About1"
                              << "Contents1"
                              << "Help topics";
    QTest::newRow("About") << "Contents1"
                           << "About1"
                           << "About the program";
}

void MainFormTest::menuItemHintGoesToStatusPanel() {
    QFETCH(QString, before);
    QFETCH(QString, name);
    QFETCH(QString, longHint);
    TMainForm form;
    ShowAndWait(form);
    form.Document().SetFileName("noname");
    form.SetModified(true);
    form.UpdateCommands();
    QAction* item = form.findChild<QAction*>(name);
    QMenu* menu = form.miWork->actions().contains(item) ? form.miWork : form.Help1;
    // The pointer starts away from where the menu will open.
    QTest::mouseMove(&form, QPoint(form.width() - 10, form.height() / 2));
    menu->popup(form.mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));

    QTest::mouseMove(menu, menu->actionGeometry(form.findChild<QAction*>(before)).center());
    QVERIFY(!form.StatusBar->Caption().isEmpty());
    QTest::mouseMove(menu, menu->actionGeometry(item).center());
    QCOMPARE(form.StatusBar->Caption(), longHint);

    // Closing the menu highlights nothing.
    menu->hide();
    QCOMPARE(form.StatusBar->Caption(), QString());
}

void MainFormTest::toolButtonShowsShortHintAndBlanksPanel_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("longHint");
    QTest::newRow("New") << "siNewScenario"
                         << "New scenario"
                         << "";
    QTest::newRow("Open") << "siOpenScenario"
                          << "Open scenario"
                          << "";
    QTest::newRow("Save") << "siSaveScenario"
                          << "Save scenario"
                          << "";
    QTest::newRow("Fill Up") << "siFillUp"
                             << "Fill Up all tables in scenario"
                             << " ";
    QTest::newRow("Show Data") << "siShowData"
                               << "Show Data"
                               << "";
}

void MainFormTest::toolButtonShowsShortHintAndBlanksPanel() {
    QFETCH(QString, name);
    QFETCH(QString, toolTip);
    QFETCH(QString, longHint);
    TMainForm form;
    ShowAndWait(form);
    // The grid's hint goes to the status panel only, as the field grid gives it.
    SetHint(form.sgFields, "Autoincrement from the specified value", false);
    form.pnlMain->show();
    QCoreApplication::processEvents();
    QTest::mouseMove(form.sgFields->viewport(), QPoint(20, 20));
    QCOMPARE(form.StatusBar->Caption(), QString("Autoincrement from the specified value"));
    QCOMPARE(form.sgFields->toolTip(), QString());

    auto* button = form.findChild<QToolButton*>(name);
    QTest::mouseMove(button, button->rect().center());
    QCOMPARE(button->toolTip(), toolTip);
    QCOMPARE(form.StatusBar->Caption(), longHint);
}

void MainFormTest::changedHintOfPointedControlShowsAtOnce() {
    TMainForm form;
    ShowAndWait(form);
    form.pnlMain->show();
    QCoreApplication::processEvents();
    QTest::mouseMove(form.sgFields->viewport(), QPoint(20, 20));
    QCOMPARE(form.StatusBar->Caption(), QString());
    SetHint(form.sgFields, "Random string value with defined maximum length", false);
    QCOMPARE(form.StatusBar->Caption(), QString("Random string value with defined maximum length"));
}

void MainFormTest::commandsReachTheirHandlers_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("handler");
    QTest::newRow("miNewScenario") << "miNewScenario"
                                   << "NewScenario";
    QTest::newRow("siNewScenario") << "siNewScenario"
                                   << "NewScenario";
    QTest::newRow("miNewFromDatabase") << "miNewFromDatabase"
                                       << "NewFromDatabase";
    QTest::newRow("miOpenScenario") << "miOpenScenario"
                                    << "OpenScenario";
    QTest::newRow("siOpenScenario") << "siOpenScenario"
                                    << "OpenScenario";
    QTest::newRow("miSaveScenario") << "miSaveScenario"
                                    << "SaveScenario";
    QTest::newRow("siSaveScenario") << "siSaveScenario"
                                    << "SaveScenario";
    QTest::newRow("miSaveScenarioAs") << "miSaveScenarioAs"
                                      << "SaveScenarioAs";
    QTest::newRow("miFillup") << "miFillup"
                              << "FillUp";
    QTest::newRow("siFillUp") << "siFillUp"
                              << "FillUp";
    QTest::newRow("miShowData") << "miShowData"
                                << "ShowData";
    QTest::newRow("siShowData") << "siShowData"
                                << "ShowData";
}

void MainFormTest::commandsReachTheirHandlers() {
    QFETCH(QString, control);
    QFETCH(QString, handler);
    RecordingForm form;
    ShowAndWait(form);
    form.Document().SetFileName("noname");
    form.SetModified(true);
    form.UpdateCommands();

    if (auto* item = form.findChild<QAction*>(control)) {
        item->trigger();
    } else {
        QTest::mouseClick(form.findChild<QToolButton*>(control), Qt::LeftButton);
    }
    QCOMPARE(form.calls, QStringList(handler));
}

// An alias's configuration mistakes are shown when the alias is used (a scenario's tables are
// listed, a fill connects), and only once the window is there to show them.
void MainFormTest::aliasWarningShowsInStatusPanel() {
    TempDir dir;
    WriteFile(dir.File("test.sqlite"), "");
    WriteFile(dir.File("aliases.ini"), "[Local]\nDRIVER=SQLITE\nPATH=test.sqlite\nPATHS=x\n");
    DatabaseSession& session = DatabaseSession::Instance();
    session.SetConfigFile(dir.File("aliases.ini"));
    {
        TMainForm form;
        ShowAndWait(form);
        std::vector<std::string> tables;
        session.ListTables("Local", false, tables);
        QCOMPARE(form.StatusBar->Caption(),
                 QString("Alias 'Local': the key PATHS is unknown and is ignored; did you mean "
                         "PATH?"));
    }
    session.Reset();
    std::vector<std::string> tables;
    session.ListTables("Local", false, tables);
    session.SetConfigFile("");
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(MainFormTest)

#include "main_form_test.moc"
