#include "fill_bench_postgres.h"

#include <libpq-fe.h>
#include <stdlib.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "engine/database_session.h"
#include "model/fill_methods.h"

namespace rowsmith::bench {
namespace {

std::string Env(const char* name) {
    const char* value = getenv(name);
    return value ? value : "";
}

class Server {
public:
    explicit Server(const std::string& database) {
        const std::string host = Env("ROWSMITH_TEST_PGHOST");
        const std::string port = Env("ROWSMITH_TEST_PGPORT");
        const char* keys[] = {"host", "port", "dbname", "user", nullptr};
        const char* values[] = {host.empty() ? nullptr : host.c_str(),
                                port.empty() ? nullptr : port.c_str(), database.c_str(),
                                host.empty() ? nullptr : "postgres", nullptr};
        conn_ = PQconnectdbParams(keys, values, 0);
        if (PQstatus(conn_) != CONNECTION_OK) {
            const std::string message = PQerrorMessage(conn_);
            PQfinish(conn_);
            throw std::runtime_error("cannot reach the PostgreSQL server: " + message);
        }
        PQsetNoticeProcessor(
            conn_, [](void*, const char*) {}, nullptr);
    }
    ~Server() { PQfinish(conn_); }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    void Execute(const std::string& sql) {
        PGresult* result = PQexec(conn_, sql.c_str());
        const ExecStatusType status = PQresultStatus(result);
        PQclear(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_COPY_IN) {
            throw std::runtime_error(std::string(PQerrorMessage(conn_)) + "in: " + sql);
        }
    }
    void Send(const std::string& data) {
        if (PQputCopyData(conn_, data.data(), static_cast<int>(data.size())) != 1) {
            throw std::runtime_error(PQerrorMessage(conn_));
        }
    }
    void EndCopy() {
        PQputCopyEnd(conn_, nullptr);
        PGresult* result = PQgetResult(conn_);
        const ExecStatusType status = PQresultStatus(result);
        PQclear(result);
        while (PGresult* extra = PQgetResult(conn_)) {
            PQclear(extra);
        }
        if (status != PGRES_COMMAND_OK) {
            throw std::runtime_error(PQerrorMessage(conn_));
        }
    }

private:
    PGconn* conn_;
};

template <typename Number>
void AppendNumber(std::string& line, Number number) {
    char buffer[32];
    line.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, number).ptr);
}

// One record as a COPY text line. The random string draws from '0' to '^', so a backslash needs
// its escape; an empty one is written as NULL, as the fill writes it.
void AppendLine(std::string& text, const RawRecord& record) {
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
    text += '\n';
}

// COPYs `records` generated records into `table`, sending them in pieces as they are made.
void CopyRecords(Server& server, const std::string& table, std::int64_t records) {
    constexpr std::size_t kPiece = 256u << 10;
    RawValues values;
    RawRecord record;
    std::string text;
    server.Execute("COPY " + table + " FROM STDIN");
    for (std::int64_t i = 0; i < records; ++i) {
        values.Next(record);
        AppendLine(text, record);
        if (text.size() >= kPiece) {
            server.Send(text);
            text.clear();
        }
    }
    if (!text.empty()) {
        server.Send(text);
    }
    server.EndCopy();
}

void CreateTable(Server& server, std::int64_t existing) {
    server.Execute("DROP TABLE IF EXISTS bench");
    server.Execute(CreateBenchTableSql(true));
    if (existing > 0) {
        CopyRecords(server, "bench", existing);
    }
    server.Execute("VACUUM ANALYZE bench");
}

// The raw side: one transaction of COPY; for an update, COPY into a scratch table and one
// UPDATE ... FROM it, the fastest way the server offers.
double RawCopy(Server& server, std::int64_t records, bool update) {
    const auto start = std::chrono::steady_clock::now();
    server.Execute("BEGIN");
    if (update) {
        server.Execute("CREATE TEMP TABLE fresh (LIKE bench) ON COMMIT DROP");
        CopyRecords(server, "fresh", records);
        server.Execute(
            "UPDATE bench b SET quantity = f.quantity, weight = f.weight, price = f.price,"
            " code = f.code, city = f.city FROM fresh f WHERE b.id = f.id");
    } else {
        CopyRecords(server, "bench", records);
    }
    server.Execute("COMMIT");
    return Rate(records, start);
}

}  // namespace

int RunPostgres(const BenchOptions& options) {
    const std::string database = "rs_bench_" + std::to_string(getpid());
    std::string folder = (std::filesystem::temp_directory_path() / "fill-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    Server admin("postgres");
    admin.Execute("CREATE DATABASE " + database);
    const bool update = options.mode == "update";
    const std::int64_t existing = update ? options.records : 0;
    try {
        Server server(database);
        const std::string config = folder + "/aliases.ini";
        std::ofstream(config) << "[Bench]\nDRIVER=POSTGRESQL\nHOST=" << Env("ROWSMITH_TEST_PGHOST")
                              << "\nPORT=" << Env("ROWSMITH_TEST_PGPORT")
                              << "\nDATABASE NAME=" << database << "\nUSER NAME="
                              << (Env("ROWSMITH_TEST_PGHOST").empty() ? "" : "postgres") << "\n";
        CreateTable(server, existing);
        DatabaseSession::Instance().SetConfigFile(config);
        TFillScenario scenario;
        MakeBenchScenario(scenario, "Bench", update ? tfUpdateExisting : tfEmptyAndFill,
                          options.records);
        const double rowsmith = TimedFill(scenario, options.records);
        DatabaseSession::Instance().SetConfigFile("");

        CreateTable(server, existing);
        const double copy = RawCopy(server, options.records, update);
        std::printf("rowsmith %.0f\n", rowsmith);
        std::printf("copy %.0f\n", copy);
        std::printf("peak_rss_mb %.1f\n", PeakRssMb());
        std::printf("ratio %.3f\n", copy > 0 ? rowsmith / copy : 0);
    } catch (...) {
        DatabaseSession::Instance().SetConfigFile("");
        admin.Execute("DROP DATABASE IF EXISTS " + database + " WITH (FORCE)");
        std::filesystem::remove_all(folder);
        throw;
    }
    admin.Execute("DROP DATABASE IF EXISTS " + database + " WITH (FORCE)");
    std::filesystem::remove_all(folder);
    return 0;
}

}  // namespace rowsmith::bench
