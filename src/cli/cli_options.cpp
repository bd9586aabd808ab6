#include "cli/cli_options.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "text/date_bounds.h"

namespace rowsmith {

namespace {

std::uint32_t ParseSeed(std::string_view text) {
    std::uint32_t seed = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, seed);
    if (text.empty() || result.ec != std::errc() || result.ptr != end) {
        throw UsageError("--seed needs a number from 0 to 4294967295, not '" + std::string(text) +
                         "'");
    }
    return seed;
}

// A date and time, or a date alone for its midnight.
DateTimeValue ParseNow(std::string_view text) {
    DateTimeValue now;
    if (!ParseDateTime(text, now) || now.parts == DateTimeValue::Parts::Time) {
        throw UsageError("--now needs a date and time such as \"2026-01-01 12:00:00\", not '" +
                         std::string(text) + "'");
    }
    now.parts = DateTimeValue::Parts::DateAndTime;
    return now;
}

long long ParsePreviewCount(std::string_view text) {
    long long count = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, count);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || count < 1) {
        throw UsageError("--preview needs a number of records from 1 up, not '" +
                         std::string(text) + "'");
    }
    return count;
}

std::int32_t ParseRecordCount(std::string_view text, std::string_view option) {
    std::int32_t count = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, count);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || count < 0) {
        throw UsageError(std::string(option) +
                         " needs a number of records from 0 to 2147483647, not '" +
                         std::string(text) + "'");
    }
    return count;
}

// "--records N" for every table, "--records TABLE=N" for one; a table name may hold "=" itself.
void ParseRecords(const std::string& value, CliOptions& options) {
    const auto equals = value.rfind('=');
    if (equals == std::string::npos) {
        options.records = ParseRecordCount(value, "--records");
        return;
    }
    const std::string table = value.substr(0, equals);
    if (table.empty()) {
        throw UsageError("--records TABLE=N needs a table name");
    }
    options.tableRecords.emplace_back(
        table,
        ParseRecordCount(std::string_view(value).substr(equals + 1), "--records " + table + "="));
}

class ArgumentReader {
public:
    ArgumentReader(int argc, const char* const* argv) : argc_(argc), argv_(argv) {}

    bool Done() const { return next_ >= argc_; }
    std::string_view Take() { return argv_[next_++]; }

    // The value of an option given as "--name VALUE" or "--name=VALUE".
    std::string TakeValue(std::string_view option, std::string_view name) {
        if (option.size() > name.size()) {
            return std::string(option.substr(name.size() + 1));
        }
        if (Done()) {
            throw UsageError(std::string(name) + " needs a value");
        }
        return std::string(Take());
    }

private:
    int argc_;
    const char* const* argv_;
    int next_ = 0;
};

bool IsOption(std::string_view arg, std::string_view name) {
    return arg == name || (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
                           arg[name.size()] == '=');
}

void SetCommand(CliOptions& options, CliOptions::Command command, bool& commandGiven) {
    if (commandGiven && options.command != command &&
        (command == CliOptions::Command::Draft || options.command == CliOptions::Command::Draft)) {
        throw UsageError("--draft goes with no other command");
    }
    if (commandGiven && options.command != command) {
        throw UsageError(
            "only one of --check, --lint, --list-aliases, --list-tables, --list-libraries, "
            "--show-library, --help and --version may be given");
    }
    options.command = command;
    commandGiven = true;
}

}  // namespace

CliOptions ParseCommandLine(int argc, const char* const* argv) {
    CliOptions options;
    bool commandGiven = false;
    bool optionsEnded = false;
    std::string formatName;
    std::vector<std::string> operands;
    ArgumentReader reader(argc, argv);
    while (!reader.Done()) {
        const std::string_view arg = reader.Take();
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            operands.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (IsOption(arg, "--seed")) {
            options.seed = ParseSeed(reader.TakeValue(arg, "--seed"));
        } else if (IsOption(arg, "--now")) {
            options.now = ParseNow(reader.TakeValue(arg, "--now"));
        } else if (IsOption(arg, "--aliases")) {
            options.aliasesFile = reader.TakeValue(arg, "--aliases");
            if (options.aliasesFile.empty()) {
                throw UsageError("--aliases needs a file name");
            }
        } else if (IsOption(arg, "--records")) {
            ParseRecords(reader.TakeValue(arg, "--records"), options);
        } else if (IsOption(arg, "--alias")) {
            options.alias = reader.TakeValue(arg, "--alias");
            if (options.alias.empty()) {
                throw UsageError("--alias needs an alias name");
            }
        } else if (IsOption(arg, "--db-env")) {
            options.dbEnv = reader.TakeValue(arg, "--db-env");
            if (options.dbEnv.empty()) {
                throw UsageError("--db-env needs the name of an environment variable");
            }
        } else if (IsOption(arg, "--db")) {
            options.dbUrl = reader.TakeValue(arg, "--db");
            if (options.dbUrl.empty()) {
                throw UsageError("--db needs a connection URL");
            }
        } else if (arg == "--dry-run") {
            options.dryRun = true;
        } else if (IsOption(arg, "--preview")) {
            options.previewRecords = ParsePreviewCount(reader.TakeValue(arg, "--preview"));
            options.dryRun = true;
        } else if (IsOption(arg, "--export")) {
            options.exportFolder = reader.TakeValue(arg, "--export");
            if (options.exportFolder.empty()) {
                throw UsageError("--export needs a folder");
            }
            options.dryRun = true;
        } else if (IsOption(arg, "--format")) {
            formatName = reader.TakeValue(arg, "--format");
        } else if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
        } else if (arg == "--check") {
            SetCommand(options, CliOptions::Command::Check, commandGiven);
        } else if (arg == "--lint") {
            SetCommand(options, CliOptions::Command::Lint, commandGiven);
        } else if (arg == "--strict") {
            options.strict = true;
        } else if (arg == "--list-aliases") {
            SetCommand(options, CliOptions::Command::ListAliases, commandGiven);
        } else if (arg == "--list-tables") {
            SetCommand(options, CliOptions::Command::ListTables, commandGiven);
        } else if (arg == "--list-libraries") {
            SetCommand(options, CliOptions::Command::ListLibraries, commandGiven);
        } else if (IsOption(arg, "--show-library")) {
            SetCommand(options, CliOptions::Command::ShowLibrary, commandGiven);
            options.argument = reader.TakeValue(arg, "--show-library");
            if (options.argument.empty()) {
                throw UsageError("--show-library needs a library name");
            }
        } else if (IsOption(arg, "--draft")) {
            SetCommand(options, CliOptions::Command::Draft, commandGiven);
            options.argument = reader.TakeValue(arg, "--draft");
            if (options.argument.empty()) {
                throw UsageError("--draft needs an alias name");
            }
        } else if (IsOption(arg, "--output")) {
            options.output = reader.TakeValue(arg, "--output");
            if (options.output.empty()) {
                throw UsageError("--output needs a file name");
            }
        } else if (arg == "--help" || arg == "-h") {
            SetCommand(options, CliOptions::Command::Help, commandGiven);
        } else if (arg == "--version") {
            SetCommand(options, CliOptions::Command::Version, commandGiven);
        } else {
            throw UsageError("unknown option '" + std::string(arg) + "'");
        }
    }

    if (options.dryRun && options.command != CliOptions::Command::Fill) {
        throw UsageError(options.previewRecords          ? "--preview goes with a fill only"
                         : !options.exportFolder.empty() ? "--export goes with a fill only"
                                                         : "--dry-run goes with a fill only");
    }
    if (options.previewRecords && !options.exportFolder.empty()) {
        throw UsageError("--preview and --export cannot go together");
    }
    if (options.strict && options.command != CliOptions::Command::Fill) {
        throw UsageError("--strict goes with a fill only");
    }
    const bool onScenario = options.command == CliOptions::Command::Fill ||
                            options.command == CliOptions::Command::Check ||
                            options.command == CliOptions::Command::Lint;
    const bool drafting = options.command == CliOptions::Command::Draft;
    if (!onScenario && !drafting && (options.records || !options.tableRecords.empty())) {
        throw UsageError("--records goes with a scenario only");
    }
    if (!drafting && !options.output.empty()) {
        throw UsageError("--output goes with --draft only");
    }
    if (!onScenario && !options.alias.empty()) {
        throw UsageError("--alias goes with a scenario only");
    }
    const int connectionsGiven =
        !options.alias.empty() + !options.dbUrl.empty() + !options.dbEnv.empty();
    if (connectionsGiven > 1) {
        throw UsageError("only one of --alias, --db and --db-env may be given");
    }
    if (!onScenario && connectionsGiven > 0) {
        throw UsageError(!options.dbUrl.empty() ? "--db goes with a scenario only"
                                                : "--db-env goes with a scenario only");
    }
    if (options.previewRecords) {
        if (!formatName.empty() && !PreviewFormatFromName(formatName, options.previewFormat)) {
            throw UsageError("--format is table, csv or jsonl, not '" + formatName + "'");
        }
    } else if (!options.exportFolder.empty()) {
        if (!formatName.empty() && !ExportFormatFromName(formatName, options.exportFormat)) {
            throw UsageError("--format of --export is csv, jsonl or sql, not '" + formatName + "'");
        }
    } else if (!formatName.empty()) {
        throw UsageError("--format goes with --preview or --export only");
    }
    switch (options.command) {
        case CliOptions::Command::Help:
        case CliOptions::Command::Version:
        case CliOptions::Command::ListAliases:
        case CliOptions::Command::ListLibraries:
        case CliOptions::Command::ShowLibrary:
            if (!operands.empty()) {
                throw UsageError("unexpected argument '" + operands.front() + "'");
            }
            break;
        case CliOptions::Command::Draft:
            options.draftTables = operands;
            break;
        case CliOptions::Command::ListTables:
            if (operands.size() != 1) {
                throw UsageError("--list-tables needs one alias name");
            }
            options.argument = operands.front();
            break;
        case CliOptions::Command::Fill:
        case CliOptions::Command::Check:
        case CliOptions::Command::Lint:
            if (operands.size() != 1) {
                throw UsageError(operands.empty() ? "no scenario file given"
                                                  : "only one scenario file may be given");
            }
            options.argument = operands.front();
            break;
    }
    return options;
}

const char* UsageText() {
    return "Usage: rowsmith-fill [--seed N] [--now TIME] [--check | --dry-run | --preview N "
           "[--format F]\n"
           "                     | --export DIR [--format F]] [--strict] [--quiet]\n"
           "                     [--records N | --records TABLE=N ...]\n"
           "                     [--alias NAME | --db URL | --db-env VAR]\n"
           "                     [--aliases FILE] SCENARIO.scn\n"
           "       rowsmith-fill --lint [--records ...] [--alias NAME | --db URL | --db-env VAR]\n"
           "                     [--aliases FILE] SCENARIO.scn\n"
           "       rowsmith-fill --list-aliases [--aliases FILE]\n"
           "       rowsmith-fill --list-tables ALIAS [--aliases FILE]\n"
           "       rowsmith-fill --draft ALIAS [TABLE...] [--records N | --records TABLE=N ...]\n"
           "                     [--output FILE.scn] [--aliases FILE]\n"
           "       rowsmith-fill --list-libraries\n"
           "       rowsmith-fill --show-library NAME\n"
           "       rowsmith-fill --help | --version\n"
           "\n"
           "Fills the tables of a Rowsmith scenario with generated records.\n"
           "\n"
           "  --seed N        seed the random values with N (0 to 4294967295) instead\n"
           "                  of the clock, so a run can be repeated; each table gets a\n"
           "                  stream of its own from N and its place in the scenario\n"
           "  --now TIME      take TIME (\"YYYY-MM-DD HH:MM:SS\") for \"now\" and \"today\" in\n"
           "                  date ranges instead of the clock, so a run can be repeated\n"
           "  --records N     write N records into every table instead of the\n"
           "                  scenario's counts; --records TABLE=N for one table\n"
           "                  (may be given for several)\n"
           "  --alias NAME    fill the scenario's tables through the alias NAME\n"
           "  --db URL        fill them through the connection URL gives, such as\n"
           "                  postgresql://user@host:5432/db?sslmode=verify-full,\n"
           "                  mariadb://user@host/db or sqlite:///path/file.sqlite;\n"
           "                  a password in it shows in the process list\n"
           "  --db-env VAR    the same, with the URL read from the environment\n"
           "                  variable VAR (DATABASE_URL, say)\n"
           "  --check         only check the scenario's fill values; write nothing\n"
           "  --dry-run       fill exactly as a real run would, then roll every write\n"
           "                  back, leaving the database as it was\n"
           "  --preview N     a dry run that prints the first N records of each table\n"
           "                  on standard output\n"
           "  --export DIR    a dry run that writes every record of each table to\n"
           "                  DIR/TABLE.csv, .jsonl or .sql\n"
           "  --format F      how --preview prints: table (aligned columns, the\n"
           "                  default), csv or jsonl (one JSON object a line); how\n"
           "                  --export writes: csv (the default), jsonl or sql (INSERT\n"
           "                  statements for the alias's database)\n"
           "  --lint          print what will fail or surprise in a fill, one warning a\n"
           "                  line (table.column: reason); write nothing\n"
           "  --strict        look for those warnings first and fill only without any\n"
           "  --quiet         print nothing but errors\n"
           "  --aliases FILE  read the alias configuration from FILE\n"
           "  --list-aliases  print the configured aliases\n"
           "  --list-tables ALIAS\n"
           "                  print the tables of ALIAS\n"
           "  --list-libraries\n"
           "                  print the value libraries that a name finds: name,\n"
           "                  number of values, user or shipped, and file\n"
           "  --show-library NAME\n"
           "                  print the values of the library NAME; a NAME holding a\n"
           "                  / is the path of a library file\n"
           "  --draft ALIAS [TABLE...]\n"
           "                  propose a scenario for the tables of ALIAS (all of them\n"
           "                  when none are named): parents before the tables that refer\n"
           "                  to them, each column's method from its type, keys and\n"
           "                  name; 100 records a table (--records N), ten times as many\n"
           "                  for a table that refers to another; notes on standard error\n"
           "  --output FILE   write the drafted scenario to FILE instead of standard\n"
           "                  output\n"
           "  --help          print this help\n"
           "  --version       print the version\n"
           "\n"
           "SIGINT or SIGTERM stops a fill after the record being written, keeping the\n"
           "records written so far.\n"
           "\n"
           "Exit status: 0 success, 1 error, 2 wrong usage, 3 warnings (--lint, --strict), 130\n"
           "or 143 stopped by SIGINT or SIGTERM.\n";
}

}  // namespace rowsmith
