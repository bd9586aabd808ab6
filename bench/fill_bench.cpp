// fill_bench: how fast a fill writes, against a raw loop of the same records through the
// database's own C API, in the same run and each on a fresh table.
//
//   fill_bench [--records N] [--engine sqlite|postgres] [--mode fill|update] [--runs N]
//
// "fill" empties the table and appends N records; "update" overwrites the N records of a table
// that holds them. The rounds alternate between the two sides; the best rate of each counts. The
// fill goes through the real FillEngine on a scenario with a fixed seed. Prints records per second
// of both, the peak resident memory and, last, their ratio.
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench_common.h"
#include "engine/database_session.h"
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
        sqlite3_finalize(statement_);
        sqlite3_close(db_);
    }
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    void Execute(const std::string& sql) {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            Fail();
        }
    }
    // The one statement the loop runs, prepared once.
    sqlite3_stmt* Prepare(const char* sql) {
        if (sqlite3_prepare_v2(db_, sql, -1, &statement_, nullptr) != SQLITE_OK) {
            Fail();
        }
        return statement_;
    }
    void Step() {
        if (sqlite3_step(statement_) != SQLITE_DONE) {
            Fail();
        }
        sqlite3_reset(statement_);
    }

private:
    [[noreturn]] void Fail() { throw std::runtime_error(sqlite3_errmsg(db_)); }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
};

void BindValues(sqlite3_stmt* statement, const RawRecord& record) {
    sqlite3_bind_int64(statement, 1, record.id);
    sqlite3_bind_int64(statement, 2, record.quantity);
    sqlite3_bind_double(statement, 3, record.weight);
    sqlite3_bind_double(statement, 4, record.price);
    if (record.code.empty()) {
        sqlite3_bind_null(statement, 5);
    } else {
        sqlite3_bind_text(statement, 5, record.code.data(), static_cast<int>(record.code.size()),
                          SQLITE_STATIC);
    }
    sqlite3_bind_text(statement, 6, record.city->data(), static_cast<int>(record.city->size()),
                      SQLITE_STATIC);
}

// A new database file holding the empty bench table, or with `records` records for an update.
void CreateDatabase(const std::string& path, std::int64_t records) {
    SqliteFile file(path);
    file.Execute(CreateBenchTableSql(false));
    if (records == 0) {
        return;
    }
    sqlite3_stmt* insert = file.Prepare("INSERT INTO bench VALUES (?, ?, ?, ?, ?, ?)");
    RawValues values;
    RawRecord record;
    file.Execute("BEGIN");
    for (std::int64_t i = 0; i < records; ++i) {
        values.Next(record);
        BindValues(insert, record);
        file.Step();
    }
    file.Execute("COMMIT");
}

// The same records in one transaction, inserted or written over the existing ones.
double RawLoop(const std::string& path, std::int64_t records, bool update) {
    SqliteFile file(path);
    sqlite3_stmt* statement = file.Prepare(
        update ? "UPDATE bench SET id = ?1, quantity = ?2, weight = ?3, price = ?4, code = ?5, "
                 "city = ?6 WHERE id = ?1"
               : "INSERT INTO bench VALUES (?, ?, ?, ?, ?, ?)");
    RawValues values;
    RawRecord record;
    const auto start = std::chrono::steady_clock::now();
    file.Execute("BEGIN");
    for (std::int64_t i = 0; i < records; ++i) {
        values.Next(record);
        BindValues(statement, record);
        file.Step();
    }
    file.Execute("COMMIT");
    return Rate(records, start);
}

// One round: the fill through the engine, then the raw loop, each on a fresh database file.
void RunSqliteRound(const std::string& folder, const BenchOptions& options, double& rowsmith,
                    double& raw) {
    const bool update = options.mode == "update";
    const std::int64_t existing = update ? options.records : 0;
    const std::string config = folder + "/aliases.ini";
    std::ofstream(config) << "[Bench]\nDRIVER=SQLITE\nPATH=fill.sqlite\n";
    CreateDatabase(folder + "/fill.sqlite", existing);
    DatabaseSession::Instance().SetConfigFile(config);
    TFillScenario scenario;
    MakeBenchScenario(scenario, "Bench", update ? tfUpdateExisting : tfEmptyAndFill,
                      options.records);
    rowsmith = TimedFill(scenario, options.records);
    DatabaseSession::Instance().SetConfigFile("");
    std::filesystem::remove(folder + "/fill.sqlite");

    CreateDatabase(folder + "/raw.sqlite", existing);
    raw = RawLoop(folder + "/raw.sqlite", options.records, update);
    std::filesystem::remove(folder + "/raw.sqlite");
}

int RunSqlite(const BenchOptions& options) {
    std::string folder = (std::filesystem::temp_directory_path() / "fill-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    double bestRowsmith = 0;
    double bestRaw = 0;
    try {
        for (int run = 0; run < options.runs; ++run) {
            double rowsmith = 0;
            double raw = 0;
            RunSqliteRound(folder, options, rowsmith, raw);
            bestRowsmith = std::max(bestRowsmith, rowsmith);
            bestRaw = std::max(bestRaw, raw);
        }
    } catch (...) {
        std::filesystem::remove_all(folder);
        throw;
    }
    std::filesystem::remove_all(folder);
    PrintResults(bestRowsmith, bestRaw);
    return 0;
}

}  // namespace
}  // namespace rowsmith::bench

int main(int argc, char** argv) {
    using namespace rowsmith::bench;
    const BenchOptions options = ParseBenchOptions(argc, argv);
    try {
        if (options.engine == "sqlite") {
            return RunSqlite(options);
        }
        if (options.engine == "postgres") {
            return RunPostgres(options);
        }
        ExitWithUsage("--engine is sqlite or postgres");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fill_bench: %s\n", error.what());
        return 1;
    }
}
