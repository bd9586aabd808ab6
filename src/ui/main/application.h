// TApplication: the Rowsmith application object. It carries the application title and is the one
// place where errors are caught: an error that an event handler raises ends that handler, and
// notify shows its message in the error box (a silent EAbort shows nothing). Nothing is logged.
#pragma once

#include <QApplication>

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

}  // namespace rowsmith
