// rowsmith: the desktop program. Sets up the application, shows the main window and runs the
// event loop until the main window closes. A scenario file named on the command line (as the
// desktop passes one) is opened at start-up as the Open command would.
#include <QStringList>
#include <QTimer>

#include "dialogs/dlg_login.h"
#include "engine/database_session.h"
#include "main/application.h"
#include "main/main_form.h"
#include "text/conversions.h"
#include "version/version_text.h"

int main(int argc, char** argv) {
    rowsmith::TApplication application(argc, argv);
    rowsmith::InitDecimalSeparatorFromLocale();
    // The window's creation begins with the version that the About box shows.
    rowsmith::LoadVersionInfo();
    rowsmith::TMainForm mainForm;
    // A server that wants a password the alias does not hold asks through the login dialog.
    rowsmith::DatabaseSession::Instance().SetLoginHandler(
        [&mainForm](const std::string& alias, std::string& userName, std::string& password) {
            return rowsmith::TdlgLogin::Execute(alias, userName, password, &mainForm);
        });
    mainForm.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        // Inside the event loop, so that an unreadable file is reported in the usual error box.
        QTimer::singleShot(
            0, &mainForm, [&mainForm, path = arguments.at(1)] { mainForm.OpenScenarioFile(path); });
    }
    return application.exec();
}
