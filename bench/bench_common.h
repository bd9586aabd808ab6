// What the fill benchmarks share, whatever the database: the command line, the six-column bench
// table and its scenario, a reporter that shows nothing, the same values as a raw loop makes
// them, the peak memory and the printout. Each engine's part creates the table, runs the fill
// through the real FillEngine and times a raw loop of the same records through the database's
// own C API.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fill/random_source.h"
#include "fill/value_library.h"
#include "model/fill_scenario.h"

namespace rowsmith::bench {

struct BenchOptions {
    std::int64_t records = 1000000;
    std::string engine = "sqlite";
    // "fill": empty the table and append; "update": overwrite every existing record; "append":
    // overwrite the half that exists and append the other half, in one walk.
    std::string mode = "fill";
    // Rounds of both sides, alternating; the medians count, so that a busy machine disturbs the
    // comparison less.
    int runs = 3;
    // "plain": the six bench columns; "master": two more, a customer taken in turn from a master
    // table of kMasterRows rows and a status from a set; "range": the same two, the customer as
    // an integer range, to weigh the master column against; "date": a date and a timestamp
    // drawn from ranges instead, to weigh the date range against the integer one; "library": a
    // first and a last name from the shipped libraries instead; "pattern": the same two and an
    // e-mail address built from them; "unique": as "range", with the customer unique over ten
    // times the records and the random string unique.
    std::string shape = "plain";
    // PostgreSQL's side to compare with: "copy" generates the values as it sends them,
    // "file-copy" sends a ready file of the same rows and times only the sending; "pgbench" fills
    // pgbench's accounts table against `pgbench -i -I dtg`.
    std::string baseline = "copy";
    // Processes that keep the machine busy while the rounds run (BusyLoad).
    int busy = 0;
};

// Exits with status 2 and the usage on arguments it does not understand, with status 0 and the
// usage on --help.
BenchOptions ParseBenchOptions(int argc, char** argv);
[[noreturn]] void ExitWithUsage(const std::string& message);

// Records in the table before the fill, and the scenario's table method.
std::int64_t ExistingRecords(const BenchOptions& options);
std::int32_t TableMethod(const BenchOptions& options);

// The bench table: an autoincremented integer key, an integer range, a real range, a money
// range, a random string of up to 10 characters and a set of five cities; with a shape other than
// "plain", a customer number and a status.
constexpr const char* kBenchTable = "bench";
// The master table of the "master" shape: customers (id, name) with ids 1 to kMasterRows.
constexpr std::int64_t kMasterRows = 1000;
struct BenchColumn {
    const char* name;
    const char* sqliteType;
    const char* postgresType;
    std::int32_t fillMethod;
    const char* fillValue;
};
std::vector<BenchColumn> BenchColumns(const std::string& shape);
// "CREATE TABLE bench (...)" with the types of the one engine or the other.
std::string CreateBenchTableSql(const std::string& shape, bool postgres);
// The statements that create and fill the master table, in either engine's SQL.
std::vector<std::string> CreateMasterTableSql(bool postgres);

// The scenario: alias and the bench table with one setting per column, in column order.
void MakeBenchScenario(TFillScenario& scenario, const std::string& alias,
                       const BenchOptions& options);

// The seed of every benchmark fill and raw loop.
constexpr std::uint32_t kBenchSeed = 20240601;
// The raw side draws the records that exist before an update from another seed than the ones it
// writes over them: MariaDB leaves alone a row that an UPDATE would not change, so writing back
// the values already there would cost it next to nothing.
constexpr std::uint32_t kExistingSeed = kBenchSeed + 1;

// Fills the scenario through a FillEngine with a silent reporter and the bench seed; gives the
// records per second.
double TimedFill(TFillScenario& scenario, std::int64_t records);

// One record's values as the fill makes them, drawn from the same random source in the same
// order, for the raw loops: numbers as numbers, reals rounded as their texts would be.
struct RawRecord {
    std::int64_t id = 0;
    std::int64_t quantity = 0;
    double weight = 0;
    double price = 0;
    std::string code;
    const std::string* city = nullptr;
    // Only with a shape other than "plain".
    std::int64_t customer = 0;
    const std::string* status = nullptr;
    // Only with the "date" shape, as the columns keep them.
    std::string day;
    std::string at;
    // Only with the "library" and "pattern" shapes: the names and the address.
    std::vector<std::string> texts;
};
class RawValues {
public:
    explicit RawValues(const std::string& shape, std::uint32_t seed = kBenchSeed);
    // The next record's values into `record`, reusing its storage.
    void Next(RawRecord& record);

private:
    RandomSource random_;
    std::int64_t id_ = 0;
    std::string shape_;
    std::array<std::string, 5> cities_;
    std::array<std::string, 3> statuses_;
    // Only with the "library" and "pattern" shapes.
    std::vector<ValueLibrary> libraries_;
};

// One record as a line of the tab-separated text that both PostgreSQL's COPY and MariaDB's LOAD
// DATA read by default: \N for NULL (an empty random string, as the fill writes it), a backslash
// escaped (the random string draws from '0' to '^').
void AppendTextLine(std::string& text, const RawRecord& record);
// The text lines of records number `first` to `last` (from 0, last excluded), handed to `sink` a
// piece of about 256 kB at a time.
void MakeTextLines(const std::string& shape, std::int64_t first, std::int64_t last,
                   const std::function<void(const std::string&)>& sink,
                   std::uint32_t seed = kBenchSeed);
// The same lines written to the file at `path`.
void WriteTextLines(const std::string& path, const std::string& shape, std::int64_t first,
                    std::int64_t last, std::uint32_t seed = kBenchSeed);

// With a shape other than "plain", the names of the columns after the six.
std::vector<const char*> ExtraColumns(const std::string& shape);

// Records per second of `records` done in the time since `start`.
double Rate(std::int64_t records, std::chrono::steady_clock::time_point start);
// The process's peak resident memory so far, in megabytes.
double PeakRssMb();
// The processor time the process has used so far, user and system, in seconds.
double CpuSeconds();
// Prints the medians of the rounds as "rowsmith" and `rawName`, "peak_rss_mb", the rounds'
// ratios as "ratio_spread" (min / median / max), with `cpuRatios` (the other side's processor
// time over the fill's, per round) as "cpu_ratio" the same way, and, last, the median of the
// rounds' ratios as "ratio". On a busy machine the wall-clock ratio swings with the scheduler;
// the processor times show the work each side did.
void PrintResults(const std::vector<double>& rowsmithRates, const std::vector<double>& rawRates,
                  const char* rawName, const std::vector<double>& cpuRatios = {});

}  // namespace rowsmith::bench
