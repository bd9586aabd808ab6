// Appends records of six columns through TableCursor inside a FillRunScope, the way a fill writes
// them, and the same records through a raw loop of prepared INSERTs in one transaction, then
// prints both rates and their ratio. Each run is repeated and the best rate kept, which filters
// out what other programs on the machine take.
//
//   cursor_bench [records [cursor|raw]]    (default: 1000000 records, both runs)

#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/database_session.h"
#include "engine/fill_run_scope.h"
#include "engine/table_cursor.h"
#include "text/conversions.h"

namespace {

using namespace rowsmith;
using Clock = std::chrono::steady_clock;

const char kSchema[] =
    "CREATE TABLE bench (id INTEGER PRIMARY KEY, qty INTEGER, name VARCHAR(20), "
    "city VARCHAR(20), price REAL, note TEXT)";

// Generated values, as the fill's generators would give them, made before the clock runs.
struct Values {
    std::vector<std::string> qty, name, city, price, note;
    std::vector<std::int64_t> qtyNumber;
    std::vector<double> priceNumber;
};

constexpr std::size_t kPool = 4096;
constexpr int kRounds = 3;

Values MakeValues() {
    Values v;
    const char* cities[] = {"Paris", "Rome", "Oslo", "Lisbon", "Vienna", "Prague"};
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t n) {
        seed = seed * 134775813u + 1;
        return static_cast<std::uint32_t>((std::uint64_t{seed} * n) >> 32);
    };
    for (std::size_t i = 0; i < kPool; ++i) {
        const std::int64_t qty = next(1000);
        v.qty.push_back(std::to_string(qty));
        v.qtyNumber.push_back(qty);
        std::string name;
        for (std::uint32_t k = next(10); k > 0; --k) {
            name += static_cast<char>(48 + next(47));
        }
        v.name.push_back(name);
        v.city.push_back(cities[next(6)]);
        const long double price = next(100000) / 100.0L;
        v.price.push_back(FormatFixed(price, 4));
        v.priceNumber.push_back(static_cast<double>(price));
        v.note.push_back("note " + std::to_string(i));
    }
    return v;
}

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", error);
        std::exit(1);
    }
}

void CreateDatabase(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    Exec(db, kSchema);
    sqlite3_close(db);
}

double CursorRun(const std::string& folder, const Values& v, long records) {
    const std::string config = folder + "/aliases.ini";
    std::filesystem::remove(folder + "/cursor.sqlite");
    std::ofstream(config) << "[Bench]\nDRIVER=SQLITE\nPATH=cursor.sqlite\n";
    CreateDatabase(folder + "/cursor.sqlite");
    DatabaseSession::Instance().SetConfigFile(config);

    TableCursor cursor;
    cursor.SetDatabaseName("Bench");
    cursor.SetTableName("bench");
    cursor.SetExclusive(true);
    cursor.Open();
    const auto start = Clock::now();
    FillRunScope run("Bench");
    for (long i = 0; i < records; ++i) {
        const std::size_t k = static_cast<std::size_t>(i) % kPool;
        cursor.Append();
        cursor.FieldAt(0).WriteInteger(static_cast<std::int32_t>(i + 1));
        cursor.FieldAt(1).WriteString(v.qty[k]);
        cursor.FieldAt(2).WriteString(v.name[k]);
        cursor.FieldAt(3).WriteString(v.city[k]);
        cursor.FieldAt(4).WriteString(v.price[k]);
        cursor.FieldAt(5).WriteString(v.note[k]);
        cursor.Post();
    }
    run.Finish();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    cursor.Close();
    DatabaseSession::Instance().SetConfigFile("");
    return records / seconds;
}

double RawRun(const std::string& folder, const Values& v, long records) {
    const std::string path = folder + "/raw.sqlite";
    std::filesystem::remove(path);
    CreateDatabase(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO bench (id, qty, name, city, price, note) "
                       "VALUES (?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    const auto start = Clock::now();
    Exec(db, "BEGIN");
    for (long i = 0; i < records; ++i) {
        const std::size_t k = static_cast<std::size_t>(i) % kPool;
        sqlite3_bind_int64(insert, 1, i + 1);
        sqlite3_bind_int64(insert, 2, v.qtyNumber[k]);
        sqlite3_bind_text(insert, 3, v.name[k].data(), static_cast<int>(v.name[k].size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, v.city[k].data(), static_cast<int>(v.city[k].size()),
                          SQLITE_STATIC);
        sqlite3_bind_double(insert, 5, v.priceNumber[k]);
        sqlite3_bind_text(insert, 6, v.note[k].data(), static_cast<int>(v.note[k].size()),
                          SQLITE_STATIC);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
        sqlite3_reset(insert);
    }
    Exec(db, "COMMIT");
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return records / seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const long records = argc > 1 ? std::atol(argv[1]) : 1000000;
    // One run alone is for profiling.
    const std::string only = argc > 2 ? argv[2] : "";
    std::string folder = (std::filesystem::temp_directory_path() / "cursor-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const Values values = MakeValues();
    int status = 0;
    try {
        std::printf("records           %ld (six columns)\n", records);
        double raw = 0;
        double cursor = 0;
        for (int round = 0; round < kRounds; ++round) {
            if (only != "cursor") {
                raw = std::max(raw, RawRun(folder, values, records));
            }
            if (only != "raw") {
                cursor = std::max(cursor, CursorRun(folder, values, records));
            }
        }
        if (raw > 0) {
            std::printf("raw SQLite loop   %.0f records/s\n", raw);
        }
        if (cursor > 0) {
            std::printf("TableCursor       %.0f records/s\n", cursor);
        }
        if (raw > 0 && cursor > 0) {
            std::printf("ratio             %.2f\n", cursor / raw);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        status = 1;
    }
    std::filesystem::remove_all(folder);
    return status;
}
