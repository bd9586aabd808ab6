// What the fill benchmarks share, whatever the database: the command line, the six-column bench
// table and its scenario, a reporter that shows nothing, the same values as a raw loop makes
// them, the peak memory and the printout. Each engine's part creates the table, runs the fill
// through the real FillEngine and times a raw loop of the same records through the database's
// own C API.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "fill/random_source.h"
#include "model/fill_scenario.h"

namespace rowsmith::bench {

struct BenchOptions {
    std::int64_t records = 1000000;
    std::string engine = "sqlite";
    // "fill": empty the table and append; "update": overwrite every existing record.
    std::string mode = "fill";
    // Rounds of both sides, alternating; the best rate of each counts, so that a busy machine
    // disturbs the comparison less.
    int runs = 3;
};

// Exits with status 2 and the usage on arguments it does not understand.
BenchOptions ParseBenchOptions(int argc, char** argv);
[[noreturn]] void ExitWithUsage(const std::string& message);

// The bench table: an autoincremented integer key, an integer range, a real range, a money
// range, a random string of up to 10 characters and a set of five cities.
constexpr const char* kBenchTable = "bench";
struct BenchColumn {
    const char* name;
    const char* sqliteType;
    const char* postgresType;
    std::int32_t fillMethod;
    const char* fillValue;
};
extern const std::array<BenchColumn, 6> kBenchColumns;
// "CREATE TABLE bench (...)" with the types of the one engine or the other.
std::string CreateBenchTableSql(bool postgres);

// The scenario: alias and the bench table with one setting per column, in column order.
void MakeBenchScenario(TFillScenario& scenario, const std::string& alias, std::int32_t tableMethod,
                       std::int64_t records);

// The seed of every benchmark fill and raw loop.
constexpr std::uint32_t kBenchSeed = 20240601;

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
};
class RawValues {
public:
    RawValues();
    // The next record's values into `record`, reusing its storage.
    void Next(RawRecord& record);

private:
    RandomSource random_;
    std::int64_t id_ = 0;
    std::array<std::string, 5> cities_;
};

// Records per second of `records` done in the time since `start`.
double Rate(std::int64_t records, std::chrono::steady_clock::time_point start);
// The process's peak resident memory so far, in megabytes.
double PeakRssMb();
// Prints "rowsmith", "raw", "peak_rss_mb" and, last, "ratio".
void PrintResults(double rowsmithRate, double rawRate);

}  // namespace rowsmith::bench
