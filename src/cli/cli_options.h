// CliOptions: the command line of rowsmith-fill, taken apart. ParseCommandLine refuses what it
// cannot understand with a UsageError, which main reports with exit status 2.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "cli/preview_writer.h"
#include "cli/record_exporter.h"
#include "text/civil_time.h"

namespace rowsmith {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CliOptions {
    enum class Command {
        Fill,
        Check,
        Lint,
        ListAliases,
        ListTables,
        ListLibraries,
        ShowLibrary,
        Draft,
        Help,
        Version
    };

    Command command = Command::Fill;
    std::optional<std::uint32_t> seed;
    // --now: what "now" and "today" in date ranges stand for, instead of the clock.
    std::optional<DateTimeValue> now;
    bool quiet = false;
    // Fill as usual, then roll every write back.
    bool dryRun = false;
    // Look for warnings before a fill and stop it when there are any.
    bool strict = false;
    // With a value, a dry run that prints the first this many records of each table.
    std::optional<long long> previewRecords;
    PreviewWriter::Format previewFormat = PreviewWriter::Format::Table;
    // Not empty: a dry run that writes every record to a file per table in this folder.
    std::string exportFolder;
    RecordExporter::Format exportFormat = RecordExporter::Format::Csv;
    // --records N: a record count for every table of the scenario.
    std::optional<std::int32_t> records;
    // --records TABLE=N, in the order given; they win over --records N.
    std::vector<std::pair<std::string, std::int32_t>> tableRecords;
    // --alias NAME: the scenario's tables are filled through this alias instead of its own.
    std::string alias;
    // --db URL: the scenario's tables are filled through the connection the URL gives.
    std::string dbUrl;
    // --db-env VAR: the same, the URL read from the environment variable VAR, so that a
    // password in it does not show in the process list.
    std::string dbEnv;
    // Replaces the alias configuration lookup when not empty.
    std::string aliasesFile;
    // The scenario file (Fill, Check), the alias (ListTables, Draft) or the library
    // (ShowLibrary).
    std::string argument;
    // --draft ALIAS TABLE...: the tables to draft, all of the alias's when empty.
    std::vector<std::string> draftTables;
    // --output FILE: where --draft writes the scenario, standard output when empty.
    std::string output;
};

// argv holds the arguments without the program name.
CliOptions ParseCommandLine(int argc, const char* const* argv);

// The synopsis and options, as --help prints them.
const char* UsageText();

}  // namespace rowsmith
