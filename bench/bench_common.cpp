#include "bench_common.h"

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fill/fill_engine.h"
#include "model/fill_methods.h"

namespace rowsmith::bench {

namespace {

class SilentReporter : public FillReporter {
public:
    void TableStarted(const std::string&, TableWork) override {}
    void WritingStarted(std::int64_t) override {}
    void RecordsWritten(std::int64_t) override {}
    void TableFinished(bool) override {}
};

// The fill's bounds, for the raw loops.
constexpr std::int64_t kQuantityLow = 1;
constexpr std::uint32_t kQuantitySpan = 999999;
constexpr double kWeightHigh = 1000;
constexpr double kPriceHigh = 10000;
constexpr std::uint32_t kCodeLimit = 11;

}  // namespace

const std::array<BenchColumn, 6> kBenchColumns = {{
    {"id", "INTEGER PRIMARY KEY", "integer PRIMARY KEY", fmAutoIncrement, ""},
    {"quantity", "INTEGER", "integer", fmRandomInteger, "1 - 1000000"},
    {"weight", "REAL", "double precision", fmRandomReal, "0 - 1000"},
    {"price", "MONEY", "money", fmRandomReal, "0 - 10000"},
    {"code", "VARCHAR(10)", "varchar(10)", fmRandomString, "11"},
    {"city", "VARCHAR(20)", "varchar(20)", fmRandomFromSet, "Paris,Rome,Oslo,Berlin,Madrid"},
}};

void ExitWithUsage(const std::string& message) {
    std::fprintf(stderr,
                 "fill_bench: %s\n"
                 "Usage: fill_bench [--records N] [--engine sqlite|postgres] [--mode fill|update]"
                 " [--runs N]\n",
                 message.c_str());
    std::exit(2);
}

BenchOptions ParseBenchOptions(int argc, char** argv) {
    BenchOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 >= argc) {
            ExitWithUsage("'" + std::string(arg) + "' needs a value");
        }
        const std::string value = argv[++i];
        if (arg == "--records") {
            char* end = nullptr;
            options.records = std::strtoll(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || options.records < 0 ||
                options.records > 2147483647) {
                ExitWithUsage("--records needs a count from 0 to 2147483647");
            }
        } else if (arg == "--runs") {
            options.runs = std::atoi(value.c_str());
            if (options.runs < 1 || options.runs > 100) {
                ExitWithUsage("--runs needs a count from 1 to 100");
            }
        } else if (arg == "--engine") {
            options.engine = value;
        } else if (arg == "--mode") {
            if (value != "fill" && value != "update") {
                ExitWithUsage("--mode is fill or update");
            }
            options.mode = value;
        } else {
            ExitWithUsage("unknown option '" + std::string(arg) + "'");
        }
    }
    return options;
}

std::string CreateBenchTableSql(bool postgres) {
    std::string sql = std::string("CREATE TABLE ") + kBenchTable + " (";
    for (std::size_t i = 0; i < kBenchColumns.size(); ++i) {
        sql += i > 0 ? ", " : "";
        sql += kBenchColumns[i].name;
        sql += ' ';
        sql += postgres ? kBenchColumns[i].postgresType : kBenchColumns[i].sqliteType;
    }
    return sql + ")";
}

void MakeBenchScenario(TFillScenario& scenario, const std::string& alias, std::int32_t tableMethod,
                       std::int64_t records) {
    scenario.SetAliasName(alias);
    TFillTable& table = scenario.Tables().Items(scenario.AddTable(kBenchTable));
    table.SetTableFillMethod(tableMethod);
    table.SetRecCount(static_cast<std::int32_t>(records));
    for (const BenchColumn& column : kBenchColumns) {
        TFillField& field = table.Fields().Items(table.AddField(column.name));
        field.SetFillMethod(column.fillMethod);
        field.SetFillValue(column.fillValue);
    }
}

double TimedFill(TFillScenario& scenario, std::int64_t records) {
    SilentReporter reporter;
    FillEngine engine(scenario, reporter);
    engine.SetFixedSeed(kBenchSeed);
    const auto start = std::chrono::steady_clock::now();
    engine.FillUp();
    return Rate(records, start);
}

RawValues::RawValues() : cities_{"Paris", "Rome", "Oslo", "Berlin", "Madrid"} {
    random_.SetRandomSeed(kBenchSeed);
}

void RawValues::Next(RawRecord& record) {
    record.id = ++id_;
    record.quantity = kQuantityLow + random_.RandomBelow(kQuantitySpan);
    record.weight = std::nearbyint(random_.RandomFraction() * kWeightHigh * 1e4) / 1e4;
    record.price = std::nearbyint(random_.RandomFraction() * kPriceHigh * 1e2) / 1e2;
    record.code.resize(random_.RandomBelow(kCodeLimit));
    for (char& c : record.code) {
        c = static_cast<char>('0' + random_.RandomBelow(47));
    }
    record.city = &cities_[random_.RandomBelow(static_cast<std::uint32_t>(cities_.size()))];
}

double Rate(std::int64_t records, std::chrono::steady_clock::time_point start) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return seconds > 0 ? static_cast<double>(records) / seconds : 0;
}

double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void PrintResults(double rowsmithRate, double rawRate) {
    std::printf("rowsmith %.0f\n", rowsmithRate);
    std::printf("raw %.0f\n", rawRate);
    std::printf("peak_rss_mb %.1f\n", PeakRssMb());
    std::printf("ratio %.3f\n", rawRate > 0 ? rowsmithRate / rawRate : 0);
}

}  // namespace rowsmith::bench
