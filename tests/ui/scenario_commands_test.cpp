// The scenario commands New, Open, Save and Save As on a real SQLite alias: what each leaves in
// the window and on disk, with the dialogs answered as a person would.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

#include "dialogs/dlg_edit_scen.h"
#include "engine/database_session.h"
#include "main/spin_edit.h"
#include "test_database.h"
#include "ui_test_support.h"

namespace rowsmith::test {

namespace {

// In the editor: picks `alias` (none: leaves the prompt) and adds `tables` in order, then OK.
void AnswerEditor(ModalAnswers& answers, const QString& alias, const QStringList& tables,
                  bool accept = true) {
    answers.answerDialog = [=](QDialog& dialog) {
        auto& editor = dynamic_cast<TdlgEditScen&>(dialog);
        if (!alias.isEmpty()) {
            const int index = editor.cbAlias->findText(alias);
            editor.cbAlias->setCurrentIndex(index);
            emit editor.cbAlias->activated(index);
        }
        for (const QString& table : tables) {
            editor.lbAllTables->setCurrentItem(
                editor.lbAllTables->findItems(table, Qt::MatchExactly).value(0));
            editor.AddTable();
        }
        return accept ? QDialog::Accepted : QDialog::Rejected;
    };
}

// Enabled states of Fill Up, Show Data, Save and Save As, as a string of 0 and 1.
QString CommandStates(const TMainForm& form) {
    QString states;
    for (const QAction* item :
         {form.miFillup, form.miShowData, form.miSaveScenario, form.miSaveScenarioAs}) {
        states += item->isEnabled() ? u'1' : u'0';
    }
    return states;
}

QString Caption(const std::string& fileName) {
    return "Rowsmith - " + QString::fromStdString(fileName);
}

}  // namespace

class ScenarioCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void newWithoutAliasOrTables();
    void newWithTablesShowsTheFirst();
    void newOnChangedScenarioAsksFirst_data();
    void newOnChangedScenarioAsksFirst();
    void saveOnNewScenarioCancelledStaysChanged();
    void saveAsAddsExtensionAndKeepsCaption();
    void openReplacesChangedScenarioWithoutAsking();
    void openedFileIsUnchanged();
    void openOfMissingNameGivesEmptyScenario();
    void openOfBrokenFileStopsHalfWay();
    void firstTableThatCannotOpenLeavesPanelHidden();
    void saveThatCannotWriteStaysChanged();
    void roundTripGivesIdenticalFiles();
    void fileDialogsStartInTheScenarioFolder();
    void fileFromCommandLineOpensAsOpenWould();

private:
    std::unique_ptr<TestDatabase> database_;
    std::unique_ptr<TMainForm> form_;
};

void ScenarioCommandsTest::init() {
    database_ = std::make_unique<TestDatabase>(TestEngine::SQLite);
    database_->Execute("CREATE TABLE T1 (ID INTEGER PRIMARY KEY, NAME VARCHAR(20), PRICE REAL)");
    database_->Execute("CREATE TABLE T2 (CODE INTEGER)");
    database_->Execute("CREATE TABLE T3 (X INTEGER, Y INTEGER)");
    form_ = std::make_unique<TMainForm>();
    ShowAndWait(*form_);
}

void ScenarioCommandsTest::cleanup() {
    form_.reset();
    database_.reset();
}

void ScenarioCommandsTest::newWithoutAliasOrTables() {
    ModalAnswers answers;
    AnswerEditor(answers, "", {});
    Trigger(form_->miNewScenario);

    QCOMPARE(answers.dialogs, QStringList("Edit scenario"));
    QCOMPARE(form_->Document().Scenario().AliasName(), std::string("Choose alias"));
    QCOMPARE(form_->Document().Scenario().Tables().Count(), 0);
    QCOMPARE(form_->windowTitle(), QString("Rowsmith - noname"));
    QVERIFY(form_->pnlRight->isVisible());
    QCOMPARE(form_->lbAlias->text(), QString("Choose alias"));
    QVERIFY(form_->pnlMain->isHidden());
    QCOMPARE(CommandStates(*form_), QString("1111"));
    QVERIFY(form_->siSaveScenario->isEnabled());
}

void ScenarioCommandsTest::newWithTablesShowsTheFirst() {
    ModalAnswers answers;
    AnswerEditor(answers, "Test", {"T3", "T1"});
    form_->siNewScenario->click();

    const TFTList& tables = form_->Document().Scenario().Tables();
    QCOMPARE(tables.Count(), 2);
    QCOMPARE(tables.Items(0).TableName(), std::string("T3"));
    QCOMPARE(tables.Items(1).TableName(), std::string("T1"));
    QCOMPARE(Items(*form_->cbTables), QStringList({"T3", "T1"}));
    QCOMPARE(form_->cbTables->currentIndex(), 0);
    QVERIFY(form_->CurrentTable() == &tables.Items(0));
    QCOMPARE(tables.Items(0).Fields().Count(), 2);
    QVERIFY(form_->pnlMain->isVisible());
    QCOMPARE(form_->lbAlias->text(), QString("Test"));

    // Picking the other table in the list shows it.
    form_->cbTables->setCurrentIndex(1);
    emit form_->cbTables->activated(1);
    QVERIFY(form_->CurrentTable() == &tables.Items(1));
    QCOMPARE(tables.Items(1).Fields().Count(), 3);
}

void ScenarioCommandsTest::newOnChangedScenarioAsksFirst_data() {
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<bool>("savedBefore");
    QTest::newRow("Yes saves, then Cancel keeps it") << true << true;
    QTest::newRow("No, then Cancel keeps it unsaved") << false << false;
}

void ScenarioCommandsTest::newOnChangedScenarioAsksFirst() {
    QFETCH(bool, answerYes);
    QFETCH(bool, savedBefore);
    ModalAnswers answers;
    AnswerEditor(answers, "Test", {"T2"});
    Trigger(form_->miNewScenario);
    const std::string path = database_->Folder().File("first.scn");
    answers.chosenFile = QString::fromStdString(path);
    Trigger(form_->miSaveScenarioAs);
    form_->SetModified(true);

    answers.answerYes = answerYes;
    AnswerEditor(answers, "Test", {"T1"}, false);
    Trigger(form_->miNewScenario);

    QCOMPARE(answers.questions, QStringList("Scenario was changed. Save changes?"));
    QCOMPARE(form_->Document().Modified(), !savedBefore);
    QCOMPARE(form_->Document().Scenario().Tables().Items(0).TableName(), std::string("T2"));
    QCOMPARE(form_->Document().FileName(), path);
}

void ScenarioCommandsTest::saveOnNewScenarioCancelledStaysChanged() {
    ModalAnswers answers;
    AnswerEditor(answers, "Test", {"T1"});
    Trigger(form_->miNewScenario);
    form_->siSaveScenario->click();
    QCOMPARE(answers.fileDialogs, QList<TFileDialog::Kind>({TFileDialog::Kind::Save}));
    QVERIFY(form_->Document().Modified());
    QVERIFY(form_->miSaveScenario->isEnabled());
    QCOMPARE(form_->Document().FileName(), std::string("noname"));
}

void ScenarioCommandsTest::saveAsAddsExtensionAndKeepsCaption() {
    ModalAnswers answers;
    AnswerEditor(answers, "Test", {"T1"});
    Trigger(form_->miNewScenario);
    const std::string typed = database_->Folder().File("plan");
    answers.chosenFile = QString::fromStdString(typed);
    Trigger(form_->miSaveScenarioAs);

    QVERIFY(QFile::exists(QString::fromStdString(typed + ".scn")));
    QCOMPARE(form_->Document().FileName(), typed + ".scn");
    QCOMPARE(form_->windowTitle(), QString("Rowsmith - noname"));
    QVERIFY(!form_->miSaveScenario->isEnabled());
    QVERIFY(!form_->siSaveScenario->isEnabled());
    QVERIFY(form_->miSaveScenarioAs->isEnabled());

    // The next Save writes to that file without a dialog.
    QFile::remove(QString::fromStdString(typed + ".scn"));
    form_->SetModified(true);
    Trigger(form_->miSaveScenario);
    QCOMPARE(answers.fileDialogs.size(), 1);
    QVERIFY(QFile::exists(QString::fromStdString(typed + ".scn")));
    QVERIFY(!form_->Document().Modified());
}

void ScenarioCommandsTest::openReplacesChangedScenarioWithoutAsking() {
    const std::string path = database_->Folder().File("saved.scn");
    WriteFile(path, "[Main]\nAliasName=Test\nTables=T2\n");
    ModalAnswers answers;
    answers.answerYes = true;
    AnswerEditor(answers, "Test", {"T1", "T3"});
    Trigger(form_->miNewScenario);

    answers.chosenFile = QString::fromStdString(path);
    form_->siOpenScenario->click();

    QCOMPARE(answers.questions, QStringList());
    QCOMPARE(Items(*form_->cbTables), QStringList({"T2"}));
    QCOMPARE(form_->windowTitle(), Caption(path));
    // Open leaves the changed state as it was.
    QVERIFY(form_->miSaveScenario->isEnabled());
    QVERIFY(form_->siSaveScenario->isEnabled());
}

void ScenarioCommandsTest::openedFileIsUnchanged() {
    // The first tables' record counts differ from the default and from each other: showing them is
    // no edit of the file.
    const std::string first = database_->Folder().File("first.scn");
    WriteFile(first, "[Main]\nAliasName=Test\nTables=T1\n[Table T1]\nRecCount=5\n");
    const std::string second = database_->Folder().File("second.scn");
    WriteFile(second, "[Main]\nAliasName=Test\nTables=T2,T1\n[Table T2]\nRecCount=7\n");
    ModalAnswers answers;
    for (const std::string& path : {first, second}) {
        answers.chosenFile = QString::fromStdString(path);
        Trigger(form_->miOpenScenario);
        QCOMPARE(form_->windowTitle(), Caption(path));
        QCOMPARE(form_->seRecCount->text(), QString(path == first ? "5" : "7"));
        QVERIFY(!form_->Document().Modified());
        QCOMPARE(CommandStates(*form_), QString("1101"));
    }

    form_->close();
    QCOMPARE(answers.questions, QStringList());
    QCOMPARE(answers.errors, QStringList());
}

void ScenarioCommandsTest::openOfMissingNameGivesEmptyScenario() {
    ModalAnswers answers;
    const std::string path = database_->Folder().File("nothing-here.scn");
    answers.chosenFile = QString::fromStdString(path);
    Trigger(form_->miOpenScenario);

    QCOMPARE(answers.errors, QStringList());
    QCOMPARE(form_->Document().Scenario().AliasName(), std::string());
    QCOMPARE(form_->Document().Scenario().Tables().Count(), 0);
    QCOMPARE(form_->windowTitle(), Caption(path));
    QVERIFY(form_->pnlMain->isHidden());
    QCOMPARE(CommandStates(*form_), QString("1101"));
}

void ScenarioCommandsTest::openOfBrokenFileStopsHalfWay() {
    ModalAnswers answers;
    AnswerEditor(answers, "Test", {"T1", "T3"});
    Trigger(form_->miNewScenario);
    const QString statesBefore = CommandStates(*form_);
    const QString captionBefore = form_->windowTitle();

    // The second table's field has no fill method, which reads as a bad number.
    const std::string path = database_->Folder().File("broken.scn");
    WriteFile(path,
              "[Main]\nAliasName=Test\nTables=T2,T3\n"
              "[Table T2]\nFields=CODE\n[Field T2.CODE]\nFillMethod=1\nFillValue=7\n"
              "[Table T3]\nFields=X\n[Field T3.X]\nFillValue=1\n");
    answers.chosenFile = QString::fromStdString(path);
    Trigger(form_->miOpenScenario);

    QCOMPARE(answers.errors,
             QStringList("'' is not a valid integer value\nin " + QString::fromStdString(path) +
                         ", section [Field T3.X], key FillMethod."));
    QCOMPARE(form_->Document().FileName(), path);
    const TFTList& tables = form_->Document().Scenario().Tables();
    QCOMPARE(tables.Count(), 2);
    QCOMPARE(tables.Items(0).TableName(), std::string("T2"));
    QCOMPARE(tables.Items(1).Fields().Count(), 1);
    QVERIFY(form_->CurrentTable() == nullptr);
    // Nothing was shown: no freed table can be reached, the rest stays as it was.
    QVERIFY(form_->pnlMain->isHidden());
    QCOMPARE(form_->cbTables->count(), 0);
    QCOMPARE(form_->windowTitle(), captionBefore);
    QCOMPARE(CommandStates(*form_), statesBefore);
}

void ScenarioCommandsTest::firstTableThatCannotOpenLeavesPanelHidden() {
    ModalAnswers answers;
    const std::string path = database_->Folder().File("gone.scn");
    WriteFile(path, "[Main]\nAliasName=Test\nTables=Gone,T1\n");
    answers.chosenFile = QString::fromStdString(path);
    Trigger(form_->miOpenScenario);

    QCOMPARE(answers.errors.size(), 1);
    QVERIFY2(answers.errors[0].contains("Gone"), qPrintable(answers.errors[0]));
    QVERIFY(form_->pnlMain->isHidden());
    QCOMPARE(form_->windowTitle(), Caption(path));
    QCOMPARE(Items(*form_->cbTables), QStringList({"Gone", "T1"}));
    // UpdateCommands did not run: the commands keep their states from before.
    QCOMPARE(CommandStates(*form_), QString("0000"));
}

void ScenarioCommandsTest::saveThatCannotWriteStaysChanged() {
    ModalAnswers answers;
    AnswerEditor(answers, "Test", {"T1"});
    Trigger(form_->miNewScenario);
    const std::string path = database_->Folder().File("no-such-folder/plan.scn");
    answers.chosenFile = QString::fromStdString(path);
    Trigger(form_->miSaveScenarioAs);

    QCOMPARE(answers.errors,
             QStringList("Cannot create file " + QString::fromStdString(path) + "."));
    QVERIFY(form_->Document().Modified());
    QVERIFY(form_->miSaveScenario->isEnabled());
    QCOMPARE(form_->Document().FileName(), path);

    // Over something that is not a file, whatever stands there is left whole.
    const std::string folder = database_->Folder().File("taken.scn");
    QDir().mkpath(QString::fromStdString(folder));
    WriteFile(folder + "/inside", "kept");
    answers.chosenFile = QString::fromStdString(folder);
    Trigger(form_->miSaveScenarioAs);
    QCOMPARE(answers.errors.size(), 2);
    QCOMPARE(ReadFile(folder + "/inside"), std::string("kept"));
    QVERIFY(form_->Document().Modified());
}

void ScenarioCommandsTest::roundTripGivesIdenticalFiles() {
    ModalAnswers answers;
    AnswerEditor(answers, "Test", {"T1", "T2", "T3"});
    Trigger(form_->miNewScenario);
    const std::string first = database_->Folder().File("first.scn");
    answers.chosenFile = QString::fromStdString(first);
    Trigger(form_->miSaveScenario);

    Trigger(form_->miOpenScenario);
    const std::string second = database_->Folder().File("second.scn");
    answers.chosenFile = QString::fromStdString(second);
    Trigger(form_->miSaveScenarioAs);

    QCOMPARE(answers.errors, QStringList());
    QCOMPARE(form_->Document().FileName(), second);
    QVERIFY(!ReadFile(first).empty());
    QCOMPARE(QString::fromStdString(ReadFile(second)), QString::fromStdString(ReadFile(first)));
}

void ScenarioCommandsTest::fileDialogsStartInTheScenarioFolder() {
    ModalAnswers answers;
    const std::string path = database_->Folder().File("here.scn");
    WriteFile(path, "[Main]\nAliasName=Test\nTables=T2\n");
    answers.chosenFile = QString::fromStdString(path);
    Trigger(form_->miOpenScenario);
    Trigger(form_->miOpenScenario);
    Trigger(form_->miSaveScenarioAs);

    QCOMPARE(answers.fileDialogFolders.size(), 3);
    // Before any scenario: the examples beside the program, or else the home folder.
    const QString folder = QDir(QString::fromStdString(database_->Folder().Path())).canonicalPath();
    QVERIFY(QDir(answers.fileDialogFolders[0]).canonicalPath() != folder);
    QCOMPARE(QDir(answers.fileDialogFolders[1]).canonicalPath(), folder);
    QCOMPARE(QDir(answers.fileDialogFolders[2]).canonicalPath(), folder);
}

void ScenarioCommandsTest::fileFromCommandLineOpensAsOpenWould() {
    ModalAnswers answers;
    const std::string path = database_->Folder().File("given.scn");
    WriteFile(path, "[Main]\nAliasName=Test\nTables=T1\n");
    form_->OpenScenarioFile(QString::fromStdString(path));
    QCOMPARE(form_->windowTitle(), Caption(path));
    QVERIFY(form_->pnlMain->isVisible());
    QCOMPARE(CommandStates(*form_), QString("1101"));

    // A file that cannot be read is reported, and no table of it is shown.
    TMainForm fresh;
    ShowAndWait(fresh);
    WriteFile(path, "[Main]\nAliasName=Test\nTables=T1\n[Table T1]\nRecCount=lots\n");
    QMetaObject::invokeMethod(
        &fresh, [&] { fresh.OpenScenarioFile(QString::fromStdString(path)); },
        Qt::QueuedConnection);
    QTRY_COMPARE(answers.errors,
                 QStringList("'lots' is not a valid integer value\nin " +
                             QString::fromStdString(path) + ", section [Table T1], key RecCount."));
    QVERIFY(fresh.pnlMain->isHidden());
    QCOMPARE(fresh.cbTables->count(), 0);

    // A name that is no file is reported, where Open would start an empty scenario under it; the
    // window stays as it started.
    for (const std::string& name : {std::string("missing.scn"), std::string("folder.scn")}) {
        const std::string missing = database_->Folder().File(name);
        if (name == "folder.scn") {
            QVERIFY(QDir().mkpath(QString::fromStdString(missing)));
        }
        TMainForm started;
        ShowAndWait(started);
        answers.errors.clear();
        QMetaObject::invokeMethod(
            &started, [&] { started.OpenScenarioFile(QString::fromStdString(missing)); },
            Qt::QueuedConnection);
        const std::string reason =
            name == "folder.scn" ? "Is a directory" : "No such file or directory";
        const std::string message = "Cannot open file " + missing + ": " + reason + ".";
        QTRY_COMPARE(answers.errors, QStringList(QString::fromStdString(message)));
        QCOMPARE(started.windowTitle(), QString("Rowsmith"));
        QVERIFY(!started.Document().HasScenario());
        QVERIFY(started.pnlRight->isHidden());
        QCOMPARE(CommandStates(started), QString("0000"));
    }
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(ScenarioCommandsTest)

#include "scenario_commands_test.moc"
