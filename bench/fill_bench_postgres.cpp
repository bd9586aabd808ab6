#include "fill_bench_postgres.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

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
    // The first value of a query's result.
    std::string Value(const std::string& sql) {
        PGresult* result = PQexec(conn_, sql.c_str());
        const bool ok = PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0;
        const std::string value = ok ? PQgetvalue(result, 0, 0) : "";
        PQclear(result);
        if (!ok) {
            throw std::runtime_error(std::string(PQerrorMessage(conn_)) + "in: " + sql);
        }
        return value;
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

// COPYs records number `first` to `last` into `table`, sending them in pieces as they are made.
// ", x = f.x, y = f.y" for the two columns after the six.
std::string ExtraSets(const std::string& shape) {
    std::string sets;
    for (const char* name : ExtraColumns(shape)) {
        sets += std::string(", ") + name + " = f." + name;
    }
    return sets;
}

void CopyRecords(Server& server, const std::string& table, const std::string& shape,
                 std::int64_t first, std::int64_t last, std::uint32_t seed = kBenchSeed) {
    server.Execute("COPY " + table + " FROM STDIN");
    MakeTextLines(
        shape, first, last, [&](const std::string& text) { server.Send(text); }, seed);
    server.EndCopy();
}

// COPYs the file's text into `table`, as psql's \copy does, a piece at a time.
void CopyFile(Server& server, const std::string& table, const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string piece(256u << 10, '\0');
    server.Execute("COPY " + table + " FROM STDIN");
    while (file.read(piece.data(), static_cast<std::streamsize>(piece.size())) ||
           file.gcount() > 0) {
        server.Send(piece.substr(0, static_cast<std::size_t>(file.gcount())));
    }
    server.EndCopy();
}

void CreateTables(Server& server, const BenchOptions& options) {
    server.Execute("DROP TABLE IF EXISTS bench, customers");
    server.Execute(CreateBenchTableSql(options.shape, true));
    for (const std::string& sql : CreateMasterTableSql(true)) {
        server.Execute(sql);
    }
    const std::int64_t existing = ExistingRecords(options);
    if (existing > 0) {
        CopyRecords(server, "bench", options.shape, 0, existing, kExistingSeed);
    }
    server.Execute("VACUUM ANALYZE bench");
    server.Execute("VACUUM ANALYZE customers");
}

// The raw side: one transaction; the records that exist are COPYed into a scratch table and
// written over by one UPDATE ... FROM it, the fastest way the server offers, and the rest are
// COPYed into the table. With `folder`, from files written there beforehand, untimed.
double RawCopy(Server& server, const BenchOptions& options, const std::string& folder) {
    const std::int64_t existing = ExistingRecords(options);
    const std::string updates = folder + "/updates.copy";
    const std::string inserts = folder + "/inserts.copy";
    if (!folder.empty()) {
        WriteTextLines(updates, options.shape, 0, existing);
        WriteTextLines(inserts, options.shape, existing, options.records);
    }
    const auto copy = [&](const std::string& table, const std::string& file, std::int64_t first,
                          std::int64_t last) {
        if (folder.empty()) {
            CopyRecords(server, table, options.shape, first, last);
        } else {
            CopyFile(server, table, file);
        }
    };
    const auto start = std::chrono::steady_clock::now();
    server.Execute("BEGIN");
    if (existing > 0) {
        server.Execute("CREATE TEMP TABLE fresh (LIKE bench) ON COMMIT DROP");
        copy("fresh", updates, 0, existing);
        server.Execute(std::string("UPDATE bench b SET quantity = f.quantity, weight = f.weight, "
                                   "price = f.price, code = f.code, city = f.city") +
                       (options.shape == "plain" ? "" : ExtraSets(options.shape)) +
                       " FROM fresh f WHERE b.id = f.id");
    }
    if (existing < options.records) {
        copy("bench", inserts, existing, options.records);
    }
    server.Execute("COMMIT");
    const double rate = Rate(options.records, start);
    std::filesystem::remove(updates);
    std::filesystem::remove(inserts);
    return rate;
}

void RunRounds(Server& server, const BenchOptions& options, const std::string& folder,
               const std::string& config) {
    std::vector<double> rowsmithRates;
    std::vector<double> copyRates;
    for (int run = 0; run < options.runs; ++run) {
        CreateTables(server, options);
        DatabaseSession::Instance().SetConfigFile(config);
        TFillScenario scenario;
        MakeBenchScenario(scenario, "Bench", options);
        rowsmithRates.push_back(TimedFill(scenario, options.records));
        DatabaseSession::Instance().SetConfigFile("");

        CreateTables(server, options);
        copyRates.push_back(
            RawCopy(server, options, options.baseline == "file-copy" ? folder : std::string()));
    }
    PrintResults(rowsmithRates, copyRates, options.baseline == "file-copy" ? "file_copy" : "copy");
}

// pgbench's accounts per unit of its scale.
constexpr std::int64_t kPgbenchAccounts = 100000;

// The accounts table as `pgbench -i` creates it.
void CreateAccounts(Server& server) {
    server.Execute("DROP TABLE IF EXISTS pgbench_accounts");
    server.Execute(
        "CREATE TABLE pgbench_accounts (aid int NOT NULL, bid int, abalance int, "
        "filler char(84)) WITH (fillfactor = 100)");
}

// The fill of the accounts: numbered from 1, a branch of the scale's, no balance, and a filler
// that the type pads to its 84 characters, as pgbench's empty one is.
void MakeAccountsScenario(TFillScenario& scenario, std::int64_t accounts, std::int64_t scale) {
    scenario.SetAliasName("Bench");
    TFillTable& table = scenario.Tables().Items(scenario.AddTable("pgbench_accounts"));
    table.SetTableFillMethod(tfEmptyAndFill);
    table.SetRecCount(static_cast<std::int32_t>(accounts));
    const struct {
        const char* name;
        std::int32_t method;
        std::string value;
    } fields[] = {{"aid", fmAutoIncrement, ""},
                  {"bid", fmRandomInteger, "1 - " + std::to_string(scale)},
                  {"abalance", fmSingleValue, "0"},
                  {"filler", fmSingleValue, "-"}};
    for (const auto& column : fields) {
        TFillField& field = table.Fields().Items(table.AddField(column.name));
        field.SetFillMethod(column.method);
        field.SetFillValue(column.value);
    }
}

// The pgbench program on the PATH, or empty.
std::string FindPgbench() {
    const std::string path = Env("PATH");
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find(':', start);
        end = end == std::string::npos ? path.size() : end;
        const std::string candidate = path.substr(start, end - start) + "/pgbench";
        if (end > start && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return "";
}

// Runs `pgbench -i -I dtg` (drop, create, generate on the client) at `scale` against the
// database, its output thrown away; gives the accounts per second of the whole run.
double RunPgbench(const std::string& pgbench, const std::string& database, std::int64_t scale) {
    std::vector<std::string> args = {pgbench, "-i", "-I", "dtg", "-s", std::to_string(scale)};
    const std::string host = Env("ROWSMITH_TEST_PGHOST");
    if (!host.empty()) {
        args.insert(args.end(), {"-h", host, "-p", Env("ROWSMITH_TEST_PGPORT"), "-U", "postgres"});
    }
    args.push_back(database);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int failed = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (failed != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        throw std::runtime_error("pgbench -i -I dtg failed");
    }
    return Rate(scale * kPgbenchAccounts, start);
}

// pgbench's accounts at the scale nearest the records asked for, filled by the fill and by
// pgbench's own client-side generator, alternating.
void RunPgbenchRounds(Server& server, const BenchOptions& options, const std::string& database,
                      const std::string& config) {
    const std::string pgbench = FindPgbench();
    if (pgbench.empty()) {
        std::printf("note: pgbench is not on the PATH; the pgbench baseline is skipped\n");
        return;
    }
    const std::int64_t scale = std::max<std::int64_t>(1, options.records / kPgbenchAccounts);
    std::vector<double> rowsmithRates;
    std::vector<double> pgbenchRates;
    for (int run = 0; run < options.runs; ++run) {
        CreateAccounts(server);
        DatabaseSession::Instance().SetConfigFile(config);
        TFillScenario scenario;
        MakeAccountsScenario(scenario, scale * kPgbenchAccounts, scale);
        rowsmithRates.push_back(TimedFill(scenario, scale * kPgbenchAccounts));
        DatabaseSession::Instance().SetConfigFile("");
        // Both sides must write the same rows for the rates to compare.
        const std::string filled = server.Value("SELECT count(*) FROM pgbench_accounts");
        if (filled != std::to_string(scale * kPgbenchAccounts)) {
            throw std::runtime_error("the fill wrote " + filled + " accounts");
        }
        pgbenchRates.push_back(RunPgbench(pgbench, database, scale));
        if (server.Value("SELECT count(*) FROM pgbench_accounts") !=
            std::to_string(scale * kPgbenchAccounts)) {
            throw std::runtime_error("pgbench wrote other accounts than asked for");
        }
    }
    PrintResults(rowsmithRates, pgbenchRates, "pgbench");
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
    try {
        Server server(database);
        const std::string config = folder + "/aliases.ini";
        std::ofstream(config) << "[Bench]\nDRIVER=POSTGRESQL\nHOST=" << Env("ROWSMITH_TEST_PGHOST")
                              << "\nPORT=" << Env("ROWSMITH_TEST_PGPORT")
                              << "\nDATABASE NAME=" << database << "\nUSER NAME="
                              << (Env("ROWSMITH_TEST_PGHOST").empty() ? "" : "postgres") << "\n";
        if (options.baseline == "pgbench") {
            RunPgbenchRounds(server, options, database, config);
        } else {
            RunRounds(server, options, folder, config);
        }
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
