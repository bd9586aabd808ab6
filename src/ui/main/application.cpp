#include "main/application.h"

#include <exception>

#include "main/modal_hooks.h"
#include "text/errors.h"
#include "text/version.h"

namespace rowsmith {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(kApplicationTitle);
    setApplicationVersion(ProgramVersion());
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromStdString(ErrorBoxText(error.what())));
        return false;
    }
}

}  // namespace rowsmith
