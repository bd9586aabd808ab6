// fill_bench: how fast a fill writes, against a raw loop of the same records through the
// database's own C API, in the same run and each on a fresh table.
//
//   fill_bench --help for the options.
//
// "fill" empties the table and appends N records; "update" overwrites the N records of a table
// that holds them; "append" overwrites N/2 and appends the rest. The rounds alternate between the
// two sides; the medians count. The fill goes through the real FillEngine on a scenario with a
// fixed seed. Prints records per second of both, the peak resident memory, the spread of the
// rounds' ratios, the ratio of processor times and, last, the ratio.
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_common.h"
#include "busy_load.h"
#include "engine/database_session.h"
#include "fill_bench_mariadb.h"
#include "fill_bench_postgres.h"
#include "model/fill_methods.h"

namespace rowsmith::bench {
namespace {

class SqliteFile {
public:
    explicit SqliteFile(const std::string& path) {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
            throw std::runtime_error("cannot open " + path);
        }
    }
    ~SqliteFile() {
        for (sqlite3_stmt* statement : statements_) {
            sqlite3_finalize(statement);
        }
        sqlite3_close(db_);
    }
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    void Execute(const std::string& sql) {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            Fail();
        }
    }
    // A statement the loop runs, prepared once.
    sqlite3_stmt* Prepare(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            Fail();
        }
        statements_.push_back(statement);
        return statement;
    }
    void Step(sqlite3_stmt* statement) {
        if (sqlite3_step(statement) != SQLITE_DONE) {
            Fail();
        }
        sqlite3_reset(statement);
    }

private:
    [[noreturn]] void Fail() { throw std::runtime_error(sqlite3_errmsg(db_)); }

    sqlite3* db_ = nullptr;
    std::vector<sqlite3_stmt*> statements_;
};

void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

void BindValues(sqlite3_stmt* statement, const RawRecord& record) {
    sqlite3_bind_int64(statement, 1, record.id);
    sqlite3_bind_int64(statement, 2, record.quantity);
    sqlite3_bind_double(statement, 3, record.weight);
    sqlite3_bind_double(statement, 4, record.price);
    if (record.code.empty()) {
        sqlite3_bind_null(statement, 5);
    } else {
        BindText(statement, 5, record.code);
    }
    BindText(statement, 6, *record.city);
    if (record.status != nullptr) {
        sqlite3_bind_int64(statement, 7, record.customer);
        BindText(statement, 8, *record.status);
    } else if (!record.day.empty()) {
        BindText(statement, 7, record.day);
        BindText(statement, 8, record.at);
    }
    for (std::size_t i = 0; i < record.texts.size(); ++i) {
        BindText(statement, static_cast<int>(7 + i), record.texts[i]);
    }
}

std::string InsertSql(const std::string& shape) {
    std::string sql = "INSERT INTO bench VALUES (?, ?, ?, ?, ?, ?";
    for (std::size_t i = 0; shape != "plain" && i < ExtraColumns(shape).size(); ++i) {
        sql += ", ?";
    }
    return sql + ")";
}

std::string UpdateSql(const std::string& shape) {
    std::string sql =
        "UPDATE bench SET id = ?1, quantity = ?2, weight = ?3, price = ?4, code = ?5, city = ?6";
    for (std::size_t i = 0; shape != "plain" && i < ExtraColumns(shape).size(); ++i) {
        sql += std::string(", ") + ExtraColumns(shape)[i] + " = ?" + std::to_string(7 + i);
    }
    return sql + " WHERE id = ?1";
}

// A new database file holding the empty bench table and the master table, with the records
// that exist before the fill.
void CreateDatabase(const std::string& path, const BenchOptions& options) {
    SqliteFile file(path);
    file.Execute(CreateBenchTableSql(options.shape, false));
    for (const std::string& sql : CreateMasterTableSql(false)) {
        file.Execute(sql);
    }
    const std::int64_t existing = ExistingRecords(options);
    if (existing == 0) {
        return;
    }
    sqlite3_stmt* insert = file.Prepare(InsertSql(options.shape));
    RawValues values(options.shape, kExistingSeed);
    RawRecord record;
    file.Execute("BEGIN");
    for (std::int64_t i = 0; i < existing; ++i) {
        values.Next(record);
        BindValues(insert, record);
        file.Step(insert);
    }
    file.Execute("COMMIT");
}

// The same records in one transaction, written over the existing ones and inserted after them.
double RawLoop(const std::string& path, const BenchOptions& options) {
    SqliteFile file(path);
    sqlite3_stmt* update = file.Prepare(UpdateSql(options.shape));
    sqlite3_stmt* insert = file.Prepare(InsertSql(options.shape));
    const std::int64_t existing = ExistingRecords(options);
    RawValues values(options.shape);
    RawRecord record;
    const auto start = std::chrono::steady_clock::now();
    file.Execute("BEGIN");
    for (std::int64_t i = 0; i < options.records; ++i) {
        sqlite3_stmt* statement = i < existing ? update : insert;
        values.Next(record);
        BindValues(statement, record);
        file.Step(statement);
    }
    file.Execute("COMMIT");
    return Rate(options.records, start);
}

// One round: the fill through the engine, then the raw loop, each on a fresh database file.
// `cpuRatio` is the raw loop's processor time over the fill's.
void RunSqliteRound(const std::string& folder, const BenchOptions& options, double& rowsmith,
                    double& raw, double& cpuRatio) {
    const std::string config = folder + "/aliases.ini";
    std::ofstream(config) << "[Bench]\nDRIVER=SQLITE\nPATH=fill.sqlite\n";
    CreateDatabase(folder + "/fill.sqlite", options);
    DatabaseSession::Instance().SetConfigFile(config);
    TFillScenario scenario;
    MakeBenchScenario(scenario, "Bench", options);
    const double fillStart = CpuSeconds();
    rowsmith = TimedFill(scenario, options.records);
    const double fillCpu = CpuSeconds() - fillStart;
    DatabaseSession::Instance().SetConfigFile("");
    std::filesystem::remove(folder + "/fill.sqlite");

    CreateDatabase(folder + "/raw.sqlite", options);
    const double rawStart = CpuSeconds();
    raw = RawLoop(folder + "/raw.sqlite", options);
    cpuRatio = fillCpu > 0 ? (CpuSeconds() - rawStart) / fillCpu : 0;
    std::filesystem::remove(folder + "/raw.sqlite");
}

int RunSqlite(const BenchOptions& options) {
    std::string folder = (std::filesystem::temp_directory_path() / "fill-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    std::vector<double> rowsmithRates;
    std::vector<double> rawRates;
    std::vector<double> cpuRatios;
    try {
        for (int run = 0; run < options.runs; ++run) {
            double rowsmith = 0;
            double raw = 0;
            double cpuRatio = 0;
            RunSqliteRound(folder, options, rowsmith, raw, cpuRatio);
            rowsmithRates.push_back(rowsmith);
            rawRates.push_back(raw);
            cpuRatios.push_back(cpuRatio);
        }
    } catch (...) {
        std::filesystem::remove_all(folder);
        throw;
    }
    std::filesystem::remove_all(folder);
    PrintResults(rowsmithRates, rawRates, "raw", cpuRatios);
    return 0;
}

}  // namespace
}  // namespace rowsmith::bench

int main(int argc, char** argv) {
    using namespace rowsmith::bench;
    const BenchOptions options = ParseBenchOptions(argc, argv);
    try {
        const BusyLoad busy(options.busy);
        if (options.engine == "sqlite") {
            return RunSqlite(options);
        }
        if (options.engine == "postgres") {
            return RunPostgres(options);
        }
        if (options.engine == "mariadb") {
            return RunMariaDb(options);
        }
        ExitWithUsage("--engine is sqlite, postgres or mariadb");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fill_bench: %s\n", error.what());
        return 1;
    }
}
