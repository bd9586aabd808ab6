// WindowCommandLine: what the desktop program's command line asks for. The window, with one
// scenario file to open at start-up or none, or only the help or the version printed; anything
// else is refused with a short usage. Qt's own options (-platform, -style, ...) are not read here:
// the application object takes them out of the command line first.
#pragma once

#include <QString>
#include <QStringList>

namespace rowsmith {

struct WindowCommandLine {
    enum class Command { OpenWindow, Help, Version, Refuse };

    Command command = Command::OpenWindow;
    // OpenWindow: the scenario file to open, or empty to start without a scenario.
    QString scenarioFile;
    // Refuse: what is wrong, as "unknown option '--x'".
    QString refusal;
};

// Reads `arguments`, the program's name left out. --help (or -h) and --version win wherever they
// stand. "--" ends the options, so that a file whose name starts with "-" can follow it.
WindowCommandLine ParseWindowCommandLine(const QStringList& arguments);

// The two usage lines shown with a refusal, and the whole help.
QString WindowUsage();
QString WindowHelp();

}  // namespace rowsmith
