// Fill Up from the window: the menu item and the tool button run the fill engine on the scenario,
// the status panel says what was done, and an error reaches the error box with nothing written.
#include <QGuiApplication>
#include <QMenuBar>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <string>

#include "main/status_panel.h"
#include "model/fill_methods.h"
#include "test_database.h"
#include "ui_test_support.h"

namespace rowsmith::test {

class FillUpTest : public QObject {
    Q_OBJECT

private slots:
    void fillUpFillsTheScenarioTables();
    void wrongValueShowsTheErrorAndWritesNothing();
    void escStopsTheFillKeepingWhatWasWritten();
};

namespace {

// A scenario of one table "t" of five records: id counts up, n is drawn from 0 - 10.
void SetUpScenario(TMainForm& form, TestDatabase& database, const std::string& range) {
    database.Execute("CREATE TABLE t (id INTEGER PRIMARY KEY, n INTEGER)");
    TFillScenario& scenario = form.Document().Scenario();
    scenario.SetAliasName(database.Alias());
    TFillTable& table = scenario.Tables().Items(scenario.AddTable("t"));
    table.SetRecCount(5);
    table.Fields().Items(table.AddField("id")).SetFillMethod(fmAutoIncrement);
    TFillField& n = table.Fields().Items(table.AddField("n"));
    n.SetFillMethod(fmRandomInteger);
    n.SetFillValue(range);
    form.Document().Filler().SetFixedSeed(0);
    form.Document().SetFileName("noname");
    form.UpdateCommands();
}

}  // namespace

void FillUpTest::fillUpFillsTheScenarioTables() {
    TestDatabase database(TestEngine::SQLite);
    ModalAnswers answers;
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    SetUpScenario(form, database, "0 - 10");

    QTest::mouseClick(form.siFillUp, Qt::LeftButton);
    QCOMPARE(answers.errors, QStringList());
    // From seed 0 the range draws 0, 0, 8, 2, 2.
    const std::vector<std::vector<std::string>> expected{
        {"1", "0"}, {"2", "0"}, {"3", "8"}, {"4", "2"}, {"5", "2"}};
    QVERIFY(database.Query("SELECT id, n FROM t ORDER BY id") == expected);
    // The status panel says what was done, as the command line does.
    QVERIFY2(QRegularExpression("^Filled 1 table with 5 records in \\d+\\.\\d\\d s$")
                 .match(form.StatusBar->Caption())
                 .hasMatch(),
             qPrintable(form.StatusBar->Caption()));
    QVERIFY(form.PrgsBar->isHidden());
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    // No table was current before the run, so nothing is bound again: the last one filled stays.
    QVERIFY(form.CurrentTable() == &form.Document().Scenario().Tables().Items(0));

    // The menu item runs the same command; the table is emptied and filled again.
    form.miFillup->trigger();
    QCOMPARE(database.QueryValue("SELECT COUNT(*) FROM t"), std::string("5"));
}

void FillUpTest::wrongValueShowsTheErrorAndWritesNothing() {
    TestDatabase database(TestEngine::SQLite);
    ModalAnswers answers;
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    SetUpScenario(form, database, "1 -- 5");
    TFillTable& table = form.Document().Scenario().Tables().Items(0);
    form.Document().Filler().BindTable(table);

    QTest::mouseClick(form.siFillUp, Qt::LeftButton);
    QCOMPARE(answers.errors, QStringList("Wrong fill value. Table: \"t\". Field: \"n\""));
    QCOMPARE(form.StatusBar->Caption(), QString("Stopped in t after 0 tables with 0 records"));
    QCOMPARE(database.QueryValue("SELECT COUNT(*) FROM t"), std::string("0"));
    QVERIFY(form.CurrentTable() == &table);
    QVERIFY(form.Document().Filler().WorkTable().Active());
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void FillUpTest::escStopsTheFillKeepingWhatWasWritten() {
    TestDatabase database(TestEngine::SQLite);
    ModalAnswers answers;
    answers.answerYes = true;
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    SetUpScenario(form, database, "0 - 10");
    form.Document().Scenario().Tables().Items(0).SetRecCount(50'000'000);

    // Esc comes while the fill runs: the window handles its events, its commands are off.
    bool commandsOff = false;
    QString captionUnderPointer;
    QTimer::singleShot(300, &form, [&] {
        commandsOff = !form.menuBar()->isEnabled() && !form.siNewScenario->isEnabled() &&
                      !form.siFillUp->isEnabled() && !form.pnlMain->isEnabled();
        // The pointer over a control with a hint leaves the table's name beside the bar.
        QTest::mouseMove(form.siOpenScenario);
        QCoreApplication::processEvents();
        form.DisplayHint();
        captionUnderPointer = form.StatusBar->Caption();
        QTest::keyClick(&form, Qt::Key_Escape);
    });
    QTest::mouseClick(form.siFillUp, Qt::LeftButton);

    QVERIFY(commandsOff);
    QCOMPARE(answers.questions, QStringList("Stop filling? The records written so far are kept."));
    QCOMPARE(answers.errors.size(), 1);
    const std::string kept = database.QueryValue("SELECT COUNT(*) FROM t");
    QVERIFY(std::stoll(kept) > 0);
    QVERIFY(std::stoll(kept) < 50'000'000);
    QCOMPARE(answers.errors[0], "Filling stopped in table \"t\" after " +
                                    QString::fromStdString(kept) +
                                    " records, which are kept; its former records were removed.");
    QCOMPARE(captionUnderPointer, QString("t"));
    // Where it stopped and what was kept stays in the panel after the error box.
    QCOMPARE(form.StatusBar->Caption(), answers.errors[0]);
    QVERIFY(form.menuBar()->isEnabled());
    QVERIFY(form.siFillUp->isEnabled());
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(FillUpTest)

#include "fill_up_test.moc"
