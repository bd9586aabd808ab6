// rowsmith-fill: runs a scenario without the window, for scripts and CI pipelines. Progress goes
// to standard error; an error ends the run with its message as the last line of standard error
// and exit status 1, wrong usage with status 2, warnings of --lint or --strict with status 3.
// SIGINT or SIGTERM stops a fill at the next record boundary, keeping what was written, with
// status 130 or 143.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/draft_command.h"
#include "cli/library_listing.h"
#include "cli/lint_report.h"
#include "cli/preview_writer.h"
#include "cli/record_exporter.h"
#include "cli/terminal_login.h"
#include "cli/terminal_reporter.h"
#include "engine/connection_url.h"
#include "engine/database_session.h"
#include "fill/fill_engine.h"
#include "fill/fill_stopped.h"
#include "fill/negative_rec_count.h"
#include "model/fill_scenario.h"
#include "text/conversions.h"
#include "text/errors.h"
#include "text/ini_file.h"
#include "version/version_text.h"

namespace rowsmith {
namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;
// A process stopped by a signal exits, as the shells report it, with 128 plus the signal.
constexpr int kExitSignalBase = 128;

// The signal that asked the fill to stop, and the engine to ask.
volatile std::sig_atomic_t stopSignal = 0;
std::atomic<FillEngine*> stoppingEngine{nullptr};
static_assert(std::atomic<FillEngine*>::is_always_lock_free);

extern "C" void AskToStop(int signal) {
    stopSignal = signal;
    if (FillEngine* engine = stoppingEngine.load()) {
        engine->RequestStop();
    }
}

// While a fill runs, SIGINT and SIGTERM ask it to stop at the next record boundary. The handler
// is taken away by its first signal, so a second one ends the program at once should a database
// keep the fill from reaching that boundary.
class StopOnSignals {
public:
    explicit StopOnSignals(FillEngine& engine) {
        stoppingEngine.store(&engine);
        struct sigaction action {};
        action.sa_handler = AskToStop;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_RESTART;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    }
    ~StopOnSignals() { stoppingEngine.store(nullptr); }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;
};
constexpr int kExitWarnings = 3;

// The window opens a missing or foreign file as an empty scenario; a script that names the wrong
// file must not pass as a successful fill of nothing.
void CheckScenarioFile(const std::string& path) {
    if (!std::ifstream(path).is_open()) {
        throw Exception("Cannot open file " + path + ": " + std::strerror(errno));
    }
    if (!IniFile::Load(path).HasSection("Main")) {
        throw Exception(path + " is not a scenario file");
    }
}

// A database's message may hold one entry per line; scripts read the error from the last line of
// standard error, so the entries are joined there.
std::string OneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            line += "; ";
        } else if (c != '\r') {
            line += c;
        }
    }
    return line;
}

TerminalReporter::Style ReporterStyle(const CliOptions& options) {
    if (options.quiet) {
        return TerminalReporter::Style::Quiet;
    }
    // A terminal that cannot move its cursor (TERM=dumb) gets the plain lines of a log.
    const char* term = std::getenv("TERM");
    const bool dumb = term != nullptr && std::string(term) == "dumb";
    return isatty(STDERR_FILENO) != 0 && !dumb ? TerminalReporter::Style::ProgressBar
                                               : TerminalReporter::Style::Lines;
}

// The overrides of the command line, on the scenario as read; the file is left as it is.
void ApplyOverrides(const CliOptions& options, TFillScenario& scenario) {
    if (!options.alias.empty()) {
        scenario.SetAliasName(options.alias);
    }
    for (int i = 0; options.records && i < scenario.Tables().Count(); ++i) {
        scenario.Tables().Items(i).SetRecCount(*options.records);
    }
    for (const auto& [name, count] : options.tableRecords) {
        bool found = false;
        for (int i = 0; i < scenario.Tables().Count(); ++i) {
            if (scenario.Tables().Items(i).TableName() == name) {
                scenario.Tables().Items(i).SetRecCount(count);
                found = true;
            }
        }
        if (!found) {
            throw Exception("--records " + name + "=" + std::to_string(count) +
                            ": the scenario has no table " + name);
        }
    }
}

int RunScenario(const CliOptions& options) {
    CheckScenarioFile(options.argument);
    TFillScenario scenario;
    scenario.LoadFromFile(options.argument);
    if (scenario.Tables().Count() == 0) {
        // A file whose main section lost its Tables line would otherwise report a fill of nothing
        // as a success.
        throw Exception(options.argument + " lists no tables to fill");
    }
    ApplyOverrides(options, scenario);
    // Library paths in fill values are relative to the scenario file.
    const std::string folder = std::filesystem::path(options.argument).parent_path().string();
    if (options.command == CliOptions::Command::Lint || options.strict) {
        const std::vector<LintWarning> warnings = LintScenario(scenario, folder, options.now);
        PrintLintWarnings(warnings, stdout, options.quiet ? nullptr : stderr);
        if (!warnings.empty() || options.command == CliOptions::Command::Lint) {
            return warnings.empty() ? 0 : kExitWarnings;
        }
    }

    TerminalReporter reporter(ReporterStyle(options), stderr);
    FillEngine engine(scenario, reporter);
    engine.SetFixedSeed(options.seed);
    engine.SetFixedNow(options.now);
    engine.SetScenarioFolder(folder);
    engine.SetDryRun(options.dryRun);
    if (options.command == CliOptions::Command::Check) {
        engine.CheckAllValues();
        reporter.FinishCheck();
    } else if (options.previewRecords) {
        PreviewWriter preview(options.previewFormat, *options.previewRecords, stdout);
        engine.SetRecordObserver([&preview](const TableCursor& record) { preview.Record(record); });
        try {
            engine.FillUp();
        } catch (...) {
            // The records made before the error show where it came from.
            preview.Finish();
            throw;
        }
        preview.Finish();
        reporter.FinishDryRun();
    } else if (!options.exportFolder.empty()) {
        RecordExporter exporter(
            options.exportFormat, options.exportFolder,
            SqlDialectOfDriver(DatabaseSession::Instance().FindAlias(scenario.AliasName()).driver));
        engine.SetRecordObserver(
            [&exporter](const TableCursor& record) { exporter.Record(record); });
        try {
            engine.FillUp();
        } catch (...) {
            // The files keep the records made before the error, as a preview shows them.
            exporter.Finish();
            throw;
        }
        exporter.Finish();
        reporter.FinishDryRun();
    } else if (options.dryRun) {
        engine.FillUp();
        reporter.FinishDryRun();
    } else {
        StopOnSignals stopOnSignals(engine);
        engine.FillUp();
        reporter.FinishFill();
    }
    return 0;
}

// --db or --db-env: an alias made from the URL, which the scenario is filled through.
void DefineUrlAlias(CliOptions& options) {
    std::string url = options.dbUrl;
    if (!options.dbEnv.empty()) {
        const char* value = std::getenv(options.dbEnv.c_str());
        if (value == nullptr || *value == '\0') {
            throw Exception("--db-env " + options.dbEnv + ": the variable is not set");
        }
        url = value;
    }
    AliasConfig alias = AliasFromUrl(url);
    if (!options.dbUrl.empty() && alias.password && !options.quiet) {
        std::fprintf(stderr,
                     "rowsmith-fill: warning: the password in --db shows in the process list; "
                     "give the URL in an environment variable with --db-env VAR instead\n");
    }
    options.alias = alias.name;
    DatabaseSession::Instance().DefineAlias(std::move(alias));
}

void PrintList(const std::vector<std::string>& list) {
    for (const std::string& item : list) {
        std::printf("%s\n", item.c_str());
    }
}

int Run(CliOptions options) {
    DatabaseSession& session = DatabaseSession::Instance();
    if (!options.aliasesFile.empty()) {
        session.SetConfigFile(options.aliasesFile);
        // Read it now, so that a file that cannot be read (a folder, no permission) stops every
        // command, also one that never reaches a database, instead of passing for no aliases.
        std::vector<std::string> aliases;
        session.ListAliases(aliases);
    }
    session.SetLoginHandler(AskLoginOnTerminal);
    if (!options.quiet) {
        session.SetWarningHandler([](const std::string& warning) {
            std::fprintf(stderr, "rowsmith-fill: warning: %s\n", warning.c_str());
        });
    }
    if (!options.dbUrl.empty() || !options.dbEnv.empty()) {
        DefineUrlAlias(options);
    }

    std::vector<std::string> list;
    switch (options.command) {
        case CliOptions::Command::ListAliases:
            session.ListAliases(list);
            PrintList(list);
            break;
        case CliOptions::Command::ListTables:
            session.ListTables(options.argument, false, list);
            PrintList(list);
            break;
        case CliOptions::Command::ListLibraries:
            return ListLibraries(LibraryFinder(), stdout, stderr);
        case CliOptions::Command::ShowLibrary:
            ShowLibrary(LibraryFinder(), options.argument, stdout);
            break;
        case CliOptions::Command::Draft:
            DraftScenario(options, stdout, options.quiet ? nullptr : stderr);
            break;
        default:
            return RunScenario(options);
    }
    return 0;
}

int Main(int argc, char** argv) {
    InitDecimalSeparatorFromLocale();
    CliOptions options;
    try {
        options = ParseCommandLine(argc - 1, argv + 1);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "rowsmith-fill: %s\nTry 'rowsmith-fill --help'.\n", error.what());
        return kExitUsage;
    }
    if (options.command == CliOptions::Command::Help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (options.command == CliOptions::Command::Version) {
        // The version stored in this program file, as the desktop program's About box shows it.
        rowsmith::LoadVersionInfo();
        std::printf("rowsmith-fill %s (build %s)\n", rowsmith::VersionText().c_str(),
                    rowsmith::BuildText().c_str());
        return 0;
    }
    try {
        return Run(options);
    } catch (const EAbort&) {
        return kExitError;
    } catch (const EFillStopped& stopped) {
        std::fflush(stdout);
        std::fprintf(stderr, "rowsmith-fill: %s\n", ErrorBoxText(stopped.what()).c_str());
        return kExitSignalBase + (stopSignal != 0 ? stopSignal : SIGINT);
    } catch (const ENegativeRecCount& negative) {
        // The window's words for it are about its progress bar, which a script never sees.
        std::fflush(stdout);
        std::fprintf(stderr, "rowsmith-fill: %s\n", ErrorBoxText(negative.Description()).c_str());
        return kExitError;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "rowsmith-fill: %s\n", OneLine(ErrorBoxText(error.what())).c_str());
        return kExitError;
    }
}

}  // namespace
}  // namespace rowsmith

int main(int argc, char** argv) {
    return rowsmith::Main(argc, argv);
}
