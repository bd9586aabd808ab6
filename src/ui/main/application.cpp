#include "main/application.h"

#include <exception>

#include "main/message_boxes.h"
#include "main/tool_glyphs.h"
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

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception& error) {
        ShowErrorMessage(error.what());
        return false;
    }
}

}  // namespace rowsmith
