// Opens the data viewer's grid model on a large table and reads what a screen shows: the first
// screen, then a jump to the last rows, then to the middle, as a user dragging the scroll bar
// does. Prints the time to the first screen, each jump, and the peak memory. The table is made
// before the clock runs; run once per size, so that each peak is its own.
//
//   viewer_bench [--engine sqlite|postgres] [--records N] [--view]
//                [--dialog [--rounds N] [--shot FILE.png]]
//
// Defaults: sqlite, 1000000 records. With --view the model also feeds a table view on the
// offscreen platform, whose headers keep a few bytes per row of their own. With --dialog the
// real Show Data dialog runs instead, in rounds (3 by default) of a process each: see
// dialog_rounds.h.
//
// PostgreSQL runs against the server that tests/support/with-postgres starts.

#include <libpq-fe.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>
#include <QApplication>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench_common.h"
#include "dialog_rounds.h"
#include "dialogs/table_data_model.h"
#include "engine/database_session.h"

namespace {

using namespace rowsmith;
using Clock = std::chrono::steady_clock;

// Rows a viewer shows at once.
constexpr int kScreenRows = 30;

std::string Env(const char* name) {
    const char* value = getenv(name);
    return value ? value : "";
}

void Check(bool ok, const std::string& what) {
    if (!ok) {
        throw std::runtime_error(what);
    }
}

void MakeSqliteTable(const std::string& path, long records) {
    sqlite3* db = nullptr;
    Check(sqlite3_open(path.c_str(), &db) == SQLITE_OK, "cannot create " + path);
    const std::string sql =
        "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
        "CREATE TABLE big (id INTEGER PRIMARY KEY, name VARCHAR(20), qty INTEGER, price REAL);"
        "WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < " +
        std::to_string(records) +
        ") INSERT INTO big SELECT n, 'name ' || n, n % 1000, n * 0.25 FROM s;";
    char* error = nullptr;
    const bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK;
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    Check(ok, message);
}

void PgExecute(PGconn* conn, const std::string& sql) {
    PGresult* result = PQexec(conn, sql.c_str());
    const ExecStatusType status = PQresultStatus(result);
    PQclear(result);
    Check(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK,
          std::string(PQerrorMessage(conn)) + "in: " + sql);
}

PGconn* PgConnect(const std::string& database) {
    const std::string host = Env("ROWSMITH_TEST_PGHOST");
    const std::string port = Env("ROWSMITH_TEST_PGPORT");
    const char* keys[] = {"host", "port", "dbname", "user", nullptr};
    const char* values[] = {host.empty() ? nullptr : host.c_str(),
                            port.empty() ? nullptr : port.c_str(), database.c_str(),
                            host.empty() ? nullptr : "postgres", nullptr};
    PGconn* conn = PQconnectdbParams(keys, values, 0);
    Check(PQstatus(conn) == CONNECTION_OK,
          std::string("cannot reach the PostgreSQL server: ") + PQerrorMessage(conn));
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    return conn;
}

double Ms(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Reads every cell of the screen whose first row is table row `top`, moving the model's window
// there as the viewer does; gives the milliseconds it took.
double ReadScreen(TableDataModel& model, int top) {
    const auto start = Clock::now();
    model.SetWindowStart(top - TableDataModel::kWindowRows / 2);
    const int first = model.ModelRow(top);
    std::size_t characters = 0;
    for (int row = first; row < first + kScreenRows && row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column) {
            characters += model.index(row, column).data().toString().size();
        }
    }
    const double ms = Ms(start);
    Check(characters > 0, "the screen at row " + std::to_string(top) + " is empty");
    return ms;
}

void Measure(const std::string& alias, long records, bool view) {
    std::printf("records %ld\n", records);
    DatabaseSession::Instance().Connect(alias);  // the connection is not the viewer's to time
    const auto start = Clock::now();
    TableCursor cursor;
    cursor.SetDatabaseName(alias);
    cursor.SetTableName("big");
    cursor.Open();
    TableDataModel model;
    model.SetCursor(&cursor);
    ReadScreen(model, 0);
    const double first = Ms(start);
    const auto countStart = Clock::now();
    model.FinishCount();
    const double counted = Ms(countStart);
    std::unique_ptr<QTableView> table;
    if (view) {
        const auto viewStart = Clock::now();
        table = std::make_unique<QTableView>();
        table->setModel(&model);
        table->resize(435, 300);
        table->show();
        QApplication::processEvents();
        std::printf("view_ms %.1f\n", Ms(viewStart));
    }
    Check(model.RecordCount() == records,
          "the model counts " + std::to_string(model.RecordCount()) + " records");
    const double last = ReadScreen(model, static_cast<int>(records) - kScreenRows);
    const double middle = ReadScreen(model, static_cast<int>(records / 2));
    const double back = ReadScreen(model, 0);
    std::printf("first_screen_ms %.1f\n", first);
    std::printf("count_ms %.1f\n", counted);
    std::printf("jump_last_ms %.1f\n", last);
    std::printf("jump_middle_ms %.1f\n", middle);
    std::printf("jump_first_ms %.1f\n", back);
    std::printf("pages_held %d\n", model.LoadedPages());
    std::printf("peak_rss_mb %.1f\n", bench::PeakRssMb());
}

// Makes the table "big" of `records` records behind the alias "Bench", runs `measure` on it and
// drops it again.
int Run(const std::string& engine, long records,
        const std::function<void(const std::string&)>& measure) {
    std::string folder = (std::filesystem::temp_directory_path() / "viewer-bench-XXXXXX").string();
    Check(mkdtemp(folder.data()) != nullptr, "cannot create a temporary folder");
    const std::string config = folder + "/aliases.ini";
    const std::string database = "rs_viewer_bench_" + std::to_string(getpid());
    PGconn* admin = nullptr;
    try {
        if (engine == "sqlite") {
            MakeSqliteTable(folder + "/big.sqlite", records);
            std::ofstream(config) << "[Bench]\nDRIVER=SQLITE\nPATH=big.sqlite\n";
        } else {
            admin = PgConnect("postgres");
            PgExecute(admin, "CREATE DATABASE " + database);
            PGconn* conn = PgConnect(database);
            PgExecute(conn,
                      "CREATE TABLE big (id integer PRIMARY KEY, name varchar(20), qty integer, "
                      "price float8)");
            PgExecute(conn,
                      "INSERT INTO big SELECT n, 'name ' || n, n % 1000, n * 0.25 FROM "
                      "generate_series(1, " +
                          std::to_string(records) + ") AS n");
            PgExecute(conn, "VACUUM ANALYZE big");
            PQfinish(conn);
            std::ofstream(config) << "[Bench]\nDRIVER=POSTGRESQL\nHOST="
                                  << Env("ROWSMITH_TEST_PGHOST")
                                  << "\nPORT=" << Env("ROWSMITH_TEST_PGPORT")
                                  << "\nDATABASE NAME=" << database << "\nUSER NAME="
                                  << (Env("ROWSMITH_TEST_PGHOST").empty() ? "" : "postgres")
                                  << "\n";
        }
        DatabaseSession::Instance().SetConfigFile(config);
        measure("Bench");
    } catch (...) {
        DatabaseSession::Instance().SetConfigFile("");
        if (admin != nullptr) {
            PQexec(admin, ("DROP DATABASE IF EXISTS " + database + " WITH (FORCE)").c_str());
            PQfinish(admin);
        }
        std::filesystem::remove_all(folder);
        throw;
    }
    DatabaseSession::Instance().SetConfigFile("");
    if (admin != nullptr) {
        PgExecute(admin, "DROP DATABASE IF EXISTS " + database + " WITH (FORCE)");
        PQfinish(admin);
    }
    std::filesystem::remove_all(folder);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string engine = "sqlite";
    long records = 1000000;
    bool view = false;
    bool dialog = false;
    int rounds = 3;
    std::string shot;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--engine") == 0 && i + 1 < argc) {
            engine = argv[++i];
        } else if (std::strcmp(argv[i], "--records") == 0 && i + 1 < argc) {
            records = std::atol(argv[++i]);
        } else if (std::strcmp(argv[i], "--view") == 0) {
            view = true;
        } else if (std::strcmp(argv[i], "--dialog") == 0) {
            dialog = true;
        } else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc) {
            shot = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: viewer_bench [--engine sqlite|postgres] [--records N] "
                         "[--view] [--dialog [--rounds N] [--shot FILE.png]]\n");
            return 2;
        }
    }
    if ((engine != "sqlite" && engine != "postgres") || records < 2 * kScreenRows) {
        std::fprintf(stderr, "viewer_bench: sqlite or postgres, and at least %d records\n",
                     2 * kScreenRows);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    try {
        if (dialog) {
            // Each round starts its own application in a process of its own.
            return Run(engine, records, [&](const std::string& alias) {
                rowsmith::bench::RunDialogRounds(alias, records, rounds, shot);
            });
        }
        QApplication application(argc, argv);
        return Run(engine, records,
                   [&](const std::string& alias) { Measure(alias, records, view); });
    } catch (const std::exception& error) {
        std::fprintf(stderr, "viewer_bench: %s\n", error.what());
        return 1;
    }
}
