#include "common/application.h"

#include <exception>

#include "common/message_boxes.h"
#include "common/tool_glyphs.h"
#include "text/errors.h"
#include "version/version_text.h"

namespace rowsmith {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Every window, the About box included, shows the program's icon; the desktop file name lets
    // the desktop match the running program to its menu entry.
    setWindowIcon(ApplicationIcon());
    setDesktopFileName("org.example.rowsmith");
    setApplicationName(kApplicationTitle);
    // The version stored in the program file, which the About box shows too.
    LoadVersionInfo();
    setApplicationVersion(QString::fromStdString(VersionText()));
}

namespace {

// Shows the error being handled in the error box, nothing for a silent EAbort.
// REQUIRES: called from a handler of an EAbort or a std::exception.
void ShowHandledError() {
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const std::exception& error) {
        ShowErrorMessage(error.what());
    }
}

}  // namespace

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception&) {
        ShowHandledError();
        return false;
    }
}

void RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception&) {
        ShowHandledError();
    }
}

}  // namespace rowsmith
