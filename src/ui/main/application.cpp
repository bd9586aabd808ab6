#include "main/application.h"

#include <exception>

#include "main/modal_hooks.h"
#include "text/errors.h"

namespace rowsmith {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(kApplicationTitle);
    setApplicationVersion(ROWSMITH_VERSION);
}

namespace {

// Shows the error being handled in the error box, nothing for a silent EAbort.
// REQUIRES: called from a handler of an EAbort or a std::exception.
void ShowHandledError() {
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromStdString(ErrorBoxText(error.what())));
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
