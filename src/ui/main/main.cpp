// rowsmith: the desktop program. Sets up the application, shows the main window and runs the
// event loop until the main window closes. A scenario file named on the command line (as the
// desktop passes one) is opened at start-up; --help and --version print and end, and any other
// option is refused with the usage.
#include <QStringList>
#include <QTimer>
#include <cstdio>

#include "common/application.h"
#include "dialogs/dlg_login.h"
#include "engine/database_session.h"
#include "main/command_line.h"
#include "main/main_form.h"
#include "text/conversions.h"
#include "version/version_text.h"

namespace {

constexpr int kExitUsage = 2;

QStringList ArgumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// Prints the help or the version when the command line asks for one of them, and says so.
bool PrintedHelpOrVersion(const rowsmith::WindowCommandLine& line) {
    using Command = rowsmith::WindowCommandLine::Command;
    if (line.command == Command::Help) {
        std::fputs(rowsmith::WindowHelp().toLocal8Bit().constData(), stdout);
        return true;
    }
    if (line.command == Command::Version) {
        // The version stored in this program file, as the About box shows it.
        rowsmith::LoadVersionInfo();
        std::printf("rowsmith %s (build %s)\n", rowsmith::VersionText().c_str(),
                    rowsmith::BuildText().c_str());
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // Help and version need no display, so they are answered before the application opens one.
    if (PrintedHelpOrVersion(rowsmith::ParseWindowCommandLine(ArgumentsOf(argc, argv)))) {
        return 0;
    }
    rowsmith::TApplication application(argc, argv);
    // What is left once the application has taken Qt's own options.
    const rowsmith::WindowCommandLine line =
        rowsmith::ParseWindowCommandLine(QApplication::arguments().mid(1));
    if (line.command == rowsmith::WindowCommandLine::Command::Refuse) {
        std::fprintf(stderr, "rowsmith: %s\n%s", line.refusal.toLocal8Bit().constData(),
                     rowsmith::WindowUsage().toLocal8Bit().constData());
        return kExitUsage;
    }
    rowsmith::InitDecimalSeparatorFromLocale();
    // The window's creation begins with the version that the About box shows.
    rowsmith::LoadVersionInfo();
    rowsmith::TMainForm mainForm;
    // A server that wants a password the alias does not hold asks through the login dialog.
    rowsmith::DatabaseSession::Instance().SetLoginHandler(
        [&mainForm](const rowsmith::LoginPrompt& prompt, std::string& userName,
                    std::string& password) {
            return rowsmith::TdlgLogin::Execute(prompt, userName, password, &mainForm);
        });
    mainForm.show();
    if (!line.scenarioFile.isEmpty()) {
        // Inside the event loop, so that a missing or unreadable file is reported in the usual
        // error box.
        QTimer::singleShot(0, &mainForm, [&mainForm, path = line.scenarioFile] {
            rowsmith::RunHandler([&mainForm, &path] { mainForm.OpenScenarioFile(path); });
        });
    }
    return application.exec();
}
