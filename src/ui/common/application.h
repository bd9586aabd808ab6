// TApplication: the Rowsmith application object. It carries the application title and is the one
// place where errors are caught: an error that an event handler raises ends that handler, and
// notify shows its message in the error box (a silent EAbort shows nothing). Nothing is logged.
#pragma once

#include <QApplication>

#include <functional>

namespace rowsmith {

// The application title, also the caption of the error box.
inline constexpr const char* kApplicationTitle = "Rowsmith";
// The help contents page, a bare name: it is looked for in the shipped "help" folder.
inline constexpr const char* kHelpFileName = "Rowsmith.html";

class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs the work of an event handler (a command's slot, say) and shows the error it raises as
// notify does. An error must not leave a handler that Qt called: Qt's own modules are built
// without exception support, so an exception unwinding through them skips their clean-up (the
// sanitizer build found the event data of a mouse click leaked that way). notify stays the last
// resort for handlers that do not use this.
void RunHandler(const std::function<void()>& handler);

// A slot that runs `handler` through RunHandler: what to connect a signal to when its handler can
// fail.
template <typename Handler>
auto Handled(Handler handler) {
    return [handler] { RunHandler(handler); };
}

}  // namespace rowsmith
