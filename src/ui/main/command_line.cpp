#include "main/command_line.h"

namespace rowsmith {

namespace {

WindowCommandLine Refuse(const QString& refusal) {
    WindowCommandLine line;
    line.command = WindowCommandLine::Command::Refuse;
    line.refusal = refusal;
    return line;
}

}  // namespace

WindowCommandLine ParseWindowCommandLine(const QStringList& arguments) {
    WindowCommandLine line;
    const qsizetype optionsEnd = arguments.indexOf("--");
    const QStringList options = arguments.mid(0, optionsEnd);
    if (options.contains("--help") || options.contains("-h")) {
        line.command = WindowCommandLine::Command::Help;
        return line;
    }
    if (options.contains("--version")) {
        line.command = WindowCommandLine::Command::Version;
        return line;
    }
    QStringList files;
    for (const QString& option : options) {
        if (option.startsWith('-')) {
            return Refuse("unknown option '" + option + "'");
        }
        files << option;
    }
    if (optionsEnd >= 0) {
        files << arguments.mid(optionsEnd + 1);
    }
    if (files.size() > 1) {
        return Refuse("unexpected argument '" + files.at(1) + "'");
    }
    if (!files.isEmpty()) {
        line.scenarioFile = files.front();
    }
    return line;
}

QString WindowUsage() {
    return "Usage: rowsmith [SCENARIO.scn]\n"
           "       rowsmith --help | --version\n";
}

QString WindowHelp() {
    return WindowUsage() +
           "\n"
           "Opens the Rowsmith window, with the scenario file SCENARIO.scn when one is given.\n"
           "rowsmith-fill runs a scenario without the window.\n"
           "\n"
           "  --help     print this help\n"
           "  --version  print the version\n"
           "\n"
           "Qt's own options, such as -platform and -style, are taken as well.\n";
}

}  // namespace rowsmith
