#include "bench_common.h"

#include <sys/resource.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string_view>

#include "fill/fill_engine.h"
#include "model/fill_methods.h"
#include "text/civil_time.h"
#include "text/letter_forms.h"

namespace rowsmith::bench {

namespace {

class SilentReporter : public FillReporter {
public:
    void TableStarted(const std::string&, TableWork) override {}
    void WritingStarted(std::int64_t) override {}
    void RecordsWritten(std::int64_t) override {}
    void TableFinished(bool) override {}
};

// The shipped libraries of the source tree, named by path so that no user's library hides them.
constexpr const char* kLibrariesFolder = ROWSMITH_LIBRARIES_FOLDER;

// The fill's bounds, for the raw loops.
constexpr std::int64_t kQuantityLow = 1;
constexpr std::uint32_t kQuantitySpan = 999999;
constexpr double kWeightHigh = 1000;
constexpr double kPriceHigh = 10000;
constexpr std::uint32_t kCodeLimit = 11;

// 2020-01-01 and 2024-01-01 00:00:00, from 1970-01-01.
constexpr std::int64_t kFirstBenchDay = 18262;
constexpr std::int64_t kFirstBenchSecond = 1704067200;

const char* const kUsage =
    "Usage: fill_bench [--records N] [--engine sqlite|postgres|mariadb]\n"
    "                  [--mode fill|update|append] [--runs N]\n"
    "                  [--shape plain|master|range|date|library|pattern|unique]\n"
    "                  [--baseline copy|file-copy|pgbench] [--busy N]\n"
    "  --mode      fill: empty the table and fill it; update: overwrite every record;\n"
    "              append: overwrite the half that exists and append the other half\n"
    "  --runs      rounds of both sides, alternating; the medians are printed (default 3)\n"
    "  --shape     plain: six columns; master: two more, a customer from a master table of\n"
    "              1000 rows and a status from a set; range: the customer as an integer range;\n"
    "              date: a date and a timestamp drawn from ranges instead; library: a first\n"
    "              and a last name from libraries instead; pattern: the same two and an\n"
    "              e-mail address built from them;\n"
    "              unique: as range, with the customer unique over ten times the records and\n"
    "              the random string unique (the raw loop writes the range shape's values)\n"
    "  --baseline  PostgreSQL only. copy: COPY generating the rows as it goes; file-copy: COPY\n"
    "              from a ready file of the same rows, the writing of the file not timed.\n"
    "              pgbench: pgbench's accounts table at the scale nearest --records (100000\n"
    "              a unit), against `pgbench -i -I dtg`; skipped when pgbench is absent.\n"
    "              MariaDB: a fill against LOAD DATA LOCAL INFILE from a ready file, an update\n"
    "              against one UPDATE joining the same rows\n"
    "  --busy      N processes spinning in sessions of their own while the rounds run,\n"
    "              as other busy programs would (default 0)\n";

bool OneOf(const std::string& value, std::initializer_list<const char*> choices) {
    for (const char* choice : choices) {
        if (value == choice) {
            return true;
        }
    }
    return false;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

const BenchColumn kPlainColumns[] = {
    {"id", "INTEGER PRIMARY KEY", "integer PRIMARY KEY", fmAutoIncrement, ""},
    {"quantity", "INTEGER", "integer", fmRandomInteger, "1 - 1000000"},
    {"weight", "REAL", "double precision", fmRandomReal, "0 - 1000"},
    {"price", "MONEY", "money", fmRandomReal, "0 - 10000"},
    {"code", "VARCHAR(10)", "varchar(10)", fmRandomString, "11"},
    {"city", "VARCHAR(20)", "varchar(20)", fmRandomFromSet, "Paris,Rome,Oslo,Berlin,Madrid"},
};
const BenchColumn kStatusColumn = {"status", "VARCHAR(10)", "varchar(10)", fmRandomFromSet,
                                   "new,paid,shipped"};

}  // namespace

void ExitWithUsage(const std::string& message) {
    std::fprintf(stderr, "fill_bench: %s\n%s", message.c_str(), kUsage);
    std::exit(2);
}

std::int64_t ExistingRecords(const BenchOptions& options) {
    if (options.mode == "update") {
        return options.records;
    }
    return options.mode == "append" ? options.records / 2 : 0;
}

std::int32_t TableMethod(const BenchOptions& options) {
    if (options.mode == "update") {
        return tfUpdateExisting;
    }
    return options.mode == "append" ? tfUpdateAndFill : tfEmptyAndFill;
}

BenchOptions ParseBenchOptions(int argc, char** argv) {
    BenchOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
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
            if (!OneOf(value, {"fill", "update", "append"})) {
                ExitWithUsage("--mode is fill, update or append");
            }
            options.mode = value;
        } else if (arg == "--shape") {
            if (!OneOf(value,
                       {"plain", "master", "range", "date", "library", "pattern", "unique"})) {
                ExitWithUsage("--shape is plain, master, range, date, library, pattern or unique");
            }
            options.shape = value;
        } else if (arg == "--busy") {
            options.busy = std::atoi(value.c_str());
            if (options.busy < 0 || options.busy > 64) {
                ExitWithUsage("--busy needs a count from 0 to 64");
            }
        } else if (arg == "--baseline") {
            if (!OneOf(value, {"copy", "file-copy", "pgbench"})) {
                ExitWithUsage("--baseline is copy, file-copy or pgbench");
            }
            options.baseline = value;
        } else {
            ExitWithUsage("unknown option '" + std::string(arg) + "'");
        }
    }
    return options;
}

std::vector<BenchColumn> BenchColumns(const std::string& shape) {
    std::vector<BenchColumn> columns(std::begin(kPlainColumns), std::end(kPlainColumns));
    if (shape == "master") {
        columns.push_back({"customer", "INTEGER", "integer", fmMasterTable, "customers.id"});
        columns.push_back(kStatusColumn);
    } else if (shape == "range" || shape == "unique") {
        columns.push_back({"customer", "INTEGER", "integer", fmRandomInteger, "1 - 1001"});
        columns.push_back(kStatusColumn);
    } else if (shape == "date") {
        columns.push_back({"day", "DATE", "date", fmDateRange, "2020-01-01 - 2024-12-31"});
        columns.push_back({"at", "TIMESTAMP", "timestamp", fmDateRange,
                           "2024-01-01 00:00:00 - 2024-12-31 23:59:59"});
    } else if (shape == "library" || shape == "pattern") {
        static const std::string first = kLibrariesFolder + std::string("/first-names.txt");
        static const std::string last = kLibrariesFolder + std::string("/last-names.txt");
        columns.push_back({"first", "VARCHAR(40)", "varchar(40)", fmLibrary, first.c_str()});
        columns.push_back({"last", "VARCHAR(40)", "varchar(40)", fmLibrary, last.c_str()});
        static const std::string email = "{first|lower|ascii}.{last|lower|ascii}@{" +
                                         std::string(kLibrariesFolder) + "/email-domains.txt}";
        if (shape == "pattern") {
            columns.push_back({"email", "VARCHAR(100)", "varchar(100)", fmPattern, email.c_str()});
        }
    }
    return columns;
}

std::vector<const char*> ExtraColumns(const std::string& shape) {
    if (shape == "date") {
        return {"day", "at"};
    }
    if (shape == "library") {
        return {"first", "last"};
    }
    if (shape == "pattern") {
        return {"first", "last", "email"};
    }
    return {"customer", "status"};
}

std::string CreateBenchTableSql(const std::string& shape, bool postgres) {
    const std::vector<BenchColumn> columns = BenchColumns(shape);
    std::string sql = std::string("CREATE TABLE ") + kBenchTable + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sql += i > 0 ? ", " : "";
        sql += columns[i].name;
        sql += ' ';
        sql += postgres ? columns[i].postgresType : columns[i].sqliteType;
    }
    return sql + ")";
}

std::vector<std::string> CreateMasterTableSql(bool postgres) {
    const std::string rows = std::to_string(kMasterRows);
    const std::string insert =
        postgres ? "INSERT INTO customers SELECT i, 'customer ' || i FROM generate_series(1, " +
                       rows + ") AS i"
                 : "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                       rows + ") INSERT INTO customers SELECT i, 'customer ' || i FROM n";
    return {"CREATE TABLE customers (id integer PRIMARY KEY, name varchar(20))", insert};
}

void MakeBenchScenario(TFillScenario& scenario, const std::string& alias,
                       const BenchOptions& options) {
    scenario.SetAliasName(alias);
    TFillTable& table = scenario.Tables().Items(scenario.AddTable(kBenchTable));
    table.SetTableFillMethod(TableMethod(options));
    table.SetRecCount(static_cast<std::int32_t>(options.records));
    for (const BenchColumn& column : BenchColumns(options.shape)) {
        TFillField& field = table.Fields().Items(table.AddField(column.name));
        field.SetFillMethod(column.fillMethod);
        field.SetFillValue(column.fillValue);
        if (options.shape == "unique" &&
            (field.FieldName() == "customer" || field.FieldName() == "code")) {
            // A key over ten times the records, drawn without replacement, and strings kept
            // and drawn again on a repeat.
            field.SetUnique(true);
            if (field.FieldName() == "customer") {
                field.SetFillValue("1 - " + std::to_string(10 * options.records + 1));
            }
        }
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

RawValues::RawValues(const std::string& shape, std::uint32_t seed)
    : shape_(shape),
      cities_{"Paris", "Rome", "Oslo", "Berlin", "Madrid"},
      statuses_{"new", "paid", "shipped"} {
    random_.SetRandomSeed(seed);
    if (shape == "library" || shape == "pattern") {
        for (const char* name : {"first-names", "last-names", "email-domains"}) {
            libraries_.push_back(
                ValueLibrary::Load(kLibrariesFolder + std::string("/") + name + ".txt", name));
        }
    }
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
    if (shape_ == "plain") {
        return;
    }
    if (shape_ == "date") {
        // The draws of the two ranges: 1827 days from 2020-01-01, the seconds of 2024.
        DateTimeValue day;
        day.parts = DateTimeValue::Parts::Date;
        day.day = kFirstBenchDay + random_.RandomBelow(1827);
        char text[kDateTimeTextMax];
        record.day.assign(text, FormatDateTime(day, ' ', false, text));
        const std::int64_t second = kFirstBenchSecond + random_.RandomBelow(366 * 86400);
        DateTimeValue at;
        at.day = second / kSecondsPerDay;
        at.nanosecond = second % kSecondsPerDay * kNanosPerSecond;
        record.at.assign(text, FormatDateTime(at, ' ', false, text));
        return;
    }
    if (!libraries_.empty()) {
        record.texts.resize(shape_ == "pattern" ? 3 : 2);
        record.texts[0].assign(libraries_[0].Pick(random_));
        record.texts[1].assign(libraries_[1].Pick(random_));
        if (shape_ == "pattern") {
            record.texts[2] = AsciiLetters(LowerLetters(record.texts[0])) + "." +
                              AsciiLetters(LowerLetters(record.texts[1])) + "@" +
                              std::string(libraries_[2].Pick(random_));
        }
        return;
    }
    // The master cursor takes the customers in turn and starts again after the last.
    record.customer = shape_ == "master" ? (record.id - 1) % kMasterRows + 1
                                         : 1 + random_.RandomBelow(kMasterRows);
    record.status = &statuses_[random_.RandomBelow(static_cast<std::uint32_t>(statuses_.size()))];
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

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void PrintResults(const std::vector<double>& rowsmithRates, const std::vector<double>& rawRates,
                  const char* rawName, const std::vector<double>& cpuRatios) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < rowsmithRates.size() && i < rawRates.size(); ++i) {
        ratios.push_back(rawRates[i] > 0 ? rowsmithRates[i] / rawRates[i] : 0);
    }
    const auto spread = [](const char* name, const std::vector<double>& values) {
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        std::printf("%s %.3f / %.3f / %.3f\n", name, *low, Median(values), *high);
    };
    std::printf("rowsmith %.0f\n", Median(rowsmithRates));
    std::printf("%s %.0f\n", rawName, Median(rawRates));
    std::printf("peak_rss_mb %.1f\n", PeakRssMb());
    double load = 0;
    if (getloadavg(&load, 1) == 1) {
        std::printf("load_average %.2f\n", load);
    }
    if (!ratios.empty()) {
        spread("ratio_spread", ratios);
    }
    if (!cpuRatios.empty()) {
        spread("cpu_ratio", cpuRatios);
    }
    std::printf("ratio %.3f\n", Median(ratios));
}

namespace {

template <typename Number>
void AppendNumber(std::string& line, Number number) {
    char buffer[32];
    line.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, number).ptr);
}

}  // namespace

void AppendTextLine(std::string& text, const RawRecord& record) {
    AppendNumber(text, record.id);
    text += '\t';
    AppendNumber(text, record.quantity);
    text += '\t';
    AppendNumber(text, record.weight);
    text += '\t';
    char buffer[32];
    text.append(
        buffer,
        std::to_chars(buffer, buffer + sizeof buffer, record.price, std::chars_format::fixed).ptr);
    text += '\t';
    if (record.code.empty()) {
        text += "\\N";
    }
    for (char c : record.code) {
        text += c;
        if (c == '\\') {
            text += c;
        }
    }
    text += '\t';
    text += *record.city;
    if (record.status != nullptr) {
        text += '\t';
        AppendNumber(text, record.customer);
        text += '\t';
        text += *record.status;
    }
    if (!record.day.empty()) {
        text += '\t';
        text += record.day;
        text += '\t';
        text += record.at;
    }
    for (const std::string& value : record.texts) {
        text += '\t';
        for (char c : value) {
            text += c;
            if (c == '\\') {
                text += c;
            }
        }
    }
    text += '\n';
}

void MakeTextLines(const std::string& shape, std::int64_t first, std::int64_t last,
                   const std::function<void(const std::string&)>& sink, std::uint32_t seed) {
    constexpr std::size_t kPiece = 256u << 10;
    RawValues values(shape, seed);
    RawRecord record;
    std::string text;
    for (std::int64_t i = 0; i < last; ++i) {
        values.Next(record);
        if (i < first) {
            continue;
        }
        AppendTextLine(text, record);
        if (text.size() >= kPiece) {
            sink(text);
            text.clear();
        }
    }
    if (!text.empty()) {
        sink(text);
    }
}

void WriteTextLines(const std::string& path, const std::string& shape, std::int64_t first,
                    std::int64_t last, std::uint32_t seed) {
    std::ofstream file(path, std::ios::binary);
    MakeTextLines(
        shape, first, last, [&](const std::string& text) { file << text; }, seed);
}

}  // namespace rowsmith::bench
