// The window's code run from an installed prefix: the install test copies this program into the
// prefix's bin folder beside rowsmith, so that it finds its files exactly as the installed window
// does, through the path of the running program.
#include <QDir>
#include <QMimeDatabase>
#include <QTest>
#include <QTextBrowser>

#include "dialogs/help_viewer.h"
#include "main/data_folder.h"
#include "ui_test_support.h"

namespace rowsmith::test {

namespace {

QString InstalledData(const QString& name) {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/rowsmith/" + name);
}

}  // namespace

class InstalledWindowTest : public QObject {
    Q_OBJECT

private slots:
    void contentsShowsTheInstalledHelp();
    void openStartsInTheInstalledExamples();
    void scenarioFilesHaveTheirOwnType();
};

void InstalledWindowTest::contentsShowsTheInstalledHelp() {
    TMainForm form;
    form.Contents1->trigger();
    QVERIFY(form.HelpViewer() != nullptr);
    const QTextBrowser* browser = form.HelpViewer()->Browser();
    QCOMPARE(browser->source().toLocalFile(), InstalledData("help/Rowsmith.html"));
    QCOMPARE(browser->documentTitle(), QString("Rowsmith Help"));
}

void InstalledWindowTest::openStartsInTheInstalledExamples() {
    QCOMPARE(FindDataFolder("examples"), InstalledData("examples"));
    ModalAnswers answers;
    TMainForm form;
    form.OpenScenario();
    QCOMPARE(answers.fileDialogFolders, QStringList(InstalledData("examples")));
}

// The install test adds the prefix to XDG_DATA_DIRS and builds its MIME database, as the
// package's trigger does on a Debian system.
void InstalledWindowTest::scenarioFilesHaveTheirOwnType() {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(InstalledData("examples/demo.scn"));
    QCOMPARE(type.name(), QString("application/x-rowsmith-scenario"));
    QCOMPARE(type.comment(), QString("Rowsmith scenario"));
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(InstalledWindowTest)

#include "installed_window_test.moc"
