// The desktop program's command line: what each form of it asks for, and the program itself
// printing its help and version without a display and refusing a wrong option before any window.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include "main/command_line.h"
#include "ui_test_support.h"

namespace rowsmith::test {

namespace {

using Command = WindowCommandLine::Command;

struct ProgramRun {
    int status = -1;
    QString out;
    QString err;
};

// Runs the desktop program with `arguments`; without a display unless `display` is set, where the
// offscreen one stands in for it.
ProgramRun RunProgram(const QStringList& arguments, bool display) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    if (display) {
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        environment.remove("QT_QPA_PLATFORM");
    }
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(ROWSMITH_PATH, arguments);
    ProgramRun run;
    if (!program.waitForFinished(60000)) {
        program.kill();
        program.waitForFinished();
        return run;
    }
    run.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.out = QString::fromLocal8Bit(program.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(program.readAllStandardError());
    return run;
}

}  // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void whatEachFormAsksFor_data();
    void whatEachFormAsksFor();
    void helpAndVersionNeedNoDisplay();
    void wrongCommandLineIsRefusedWithTheUsage_data();
    void wrongCommandLineIsRefusedWithTheUsage();
};

void CommandLineTest::whatEachFormAsksFor_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("command");
    // The scenario file, or what is refused.
    QTest::addColumn<QString>("detail");
    const auto row = [](const char* name, const QStringList& arguments, Command command,
                        const QString& detail = QString()) {
        QTest::newRow(name) << arguments << int(command) << detail;
    };
    row("nothing: the window without a scenario", {}, Command::OpenWindow);
    row("a file", {"shop.scn"}, Command::OpenWindow, "shop.scn");
    row("--help", {"--help"}, Command::Help);
    row("-h after a file", {"shop.scn", "-h"}, Command::Help);
    row("help wins over a wrong option", {"--bogus", "--help"}, Command::Help);
    row("--version", {"--version"}, Command::Version);
    row("unknown option", {"--bogus"}, Command::Refuse, "unknown option '--bogus'");
    row("unknown short option", {"-x", "shop.scn"}, Command::Refuse, "unknown option '-x'");
    row("two files", {"a.scn", "b.scn"}, Command::Refuse, "unexpected argument 'b.scn'");
    row("a file after --", {"--", "-odd.scn"}, Command::OpenWindow, "-odd.scn");
    row("--help after -- is a file", {"--", "--help"}, Command::OpenWindow, "--help");
    row("two files around --", {"a.scn", "--", "b.scn"}, Command::Refuse,
        "unexpected argument 'b.scn'");
}

void CommandLineTest::whatEachFormAsksFor() {
    QFETCH(QStringList, arguments);
    QFETCH(int, command);
    QFETCH(QString, detail);
    const WindowCommandLine line = ParseWindowCommandLine(arguments);
    QCOMPARE(int(line.command), command);
    QCOMPARE(command == int(Command::Refuse) ? line.refusal : line.scenarioFile, detail);
}

void CommandLineTest::helpAndVersionNeedNoDisplay() {
    const ProgramRun help = RunProgram({"--help"}, false);
    QCOMPARE(help.status, 0);
    QCOMPARE(help.out, WindowHelp());
    QVERIFY(help.out.startsWith("Usage: rowsmith [SCENARIO.scn]\n"));
    QCOMPARE(help.err, QString());

    const ProgramRun version = RunProgram({"shop.scn", "--version"}, false);
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, QString("rowsmith " ROWSMITH_EXPECTED_VERSION
                                  " (build " ROWSMITH_EXPECTED_BUILD ")\n"));
    QCOMPARE(version.err, QString());
}

void CommandLineTest::wrongCommandLineIsRefusedWithTheUsage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("unknown option") << QStringList{"--bogus"} << "unknown option '--bogus'";
    QTest::newRow("two files") << QStringList{"a.scn", "b.scn"} << "unexpected argument 'b.scn'";
}

void CommandLineTest::wrongCommandLineIsRefusedWithTheUsage() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, refusal);
    // Qt's own options are taken before the rest is read; were the window opened, the program
    // would not end.
    const ProgramRun run = RunProgram(QStringList{"-platform", "offscreen"} + arguments, true);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.out, QString());
    // Qt may say something of its platform first.
    const QString expected = "rowsmith: " + refusal + "\n" + WindowUsage();
    QVERIFY2(run.err.endsWith(expected), qPrintable(run.err));
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(CommandLineTest)

#include "command_line_test.moc"
