#include "fill_bench_mariadb.h"

#include <mysql.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/database_session.h"

namespace rowsmith::bench {
namespace {

std::string Socket() {
    const char* socket = getenv("ROWSMITH_TEST_MYSOCKET");
    if (socket == nullptr) {
        throw std::runtime_error("ROWSMITH_TEST_MYSOCKET is not set: run under with-mariadb");
    }
    return socket;
}

class Server {
public:
    Server() : conn_(mysql_init(nullptr)) {
        const unsigned localInfile = 1;
        mysql_options(conn_, MYSQL_OPT_LOCAL_INFILE, &localInfile);
        if (mysql_real_connect(conn_, nullptr, "root", nullptr, nullptr, 0, Socket().c_str(), 0) ==
            nullptr) {
            const std::string message = mysql_error(conn_);
            mysql_close(conn_);
            throw std::runtime_error("cannot reach the MariaDB server: " + message);
        }
        Execute("SET NAMES utf8mb4");
    }
    ~Server() { mysql_close(conn_); }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    void Execute(const std::string& sql) {
        if (mysql_real_query(conn_, sql.data(), sql.size()) != 0) {
            throw std::runtime_error(std::string(mysql_error(conn_)) + " in: " + sql);
        }
        if (MYSQL_RES* result = mysql_store_result(conn_)) {
            mysql_free_result(result);
        }
    }

private:
    MYSQL* conn_;
};

// The bench columns in MariaDB's words: PostgreSQL's, but for money.
std::string CreateBenchTableSql(const std::string& shape) {
    std::string sql = std::string("CREATE TABLE ") + kBenchTable + " (";
    const std::vector<BenchColumn> columns = BenchColumns(shape);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::string type = columns[i].postgresType;
        sql += (i > 0 ? ", " : "") + std::string(columns[i].name) + ' ' +
               (type == "money"       ? "decimal(12,2)"
                : type == "timestamp" ? "datetime"
                                      : type);
    }
    return sql + ") ENGINE=InnoDB";
}

// ", b.x = f.x, b.y = f.y" for the two columns after the six.
std::string ExtraSets(const std::string& shape) {
    std::string sets;
    for (const char* name : ExtraColumns(shape)) {
        sets += std::string(", b.") + name + " = f." + name;
    }
    return sets;
}

void Load(Server& server, const std::string& path, const std::string& table) {
    server.Execute("LOAD DATA LOCAL INFILE '" + path + "' INTO TABLE " + table +
                   " CHARACTER SET utf8mb4");
}

void CreateTables(Server& server, const BenchOptions& options, const std::string& folder) {
    server.Execute("DROP TABLE IF EXISTS bench, customers");
    server.Execute(CreateBenchTableSql(options.shape));
    for (const std::string& sql : CreateMasterTableSql(true)) {
        server.Execute(sql.find("generate_series") == std::string::npos
                           ? sql
                           : "INSERT INTO customers SELECT seq, concat('customer ', seq) "
                             "FROM seq_1_to_" +
                                 std::to_string(kMasterRows));
    }
    const std::int64_t existing = ExistingRecords(options);
    if (existing > 0) {
        const std::string path = folder + "/existing.tsv";
        WriteTextLines(path, options.shape, 0, existing, kExistingSeed);
        Load(server, path, "bench");
        std::filesystem::remove(path);
    }
    server.Execute("ANALYZE TABLE bench, customers");
}

// The raw side, from files written beforehand, untimed: in one transaction, the records that
// exist are loaded into a scratch table and written over by one UPDATE joining it, and the rest
// are loaded into the table.
double RawLoad(Server& server, const BenchOptions& options, const std::string& folder) {
    const std::int64_t existing = ExistingRecords(options);
    const std::string updates = folder + "/updates.tsv";
    const std::string inserts = folder + "/inserts.tsv";
    WriteTextLines(updates, options.shape, 0, existing);
    WriteTextLines(inserts, options.shape, existing, options.records);
    const auto start = std::chrono::steady_clock::now();
    server.Execute("START TRANSACTION");
    if (existing > 0) {
        server.Execute("CREATE TEMPORARY TABLE fresh LIKE bench");
        Load(server, updates, "fresh");
        server.Execute(
            std::string(
                "UPDATE bench b JOIN fresh f ON b.id = f.id SET b.quantity = f.quantity, "
                "b.weight = f.weight, b.price = f.price, b.code = f.code, b.city = f.city") +
            (options.shape == "plain" ? "" : ExtraSets(options.shape)));
    }
    if (existing < options.records) {
        Load(server, inserts, "bench");
    }
    server.Execute("COMMIT");
    const double rate = Rate(options.records, start);
    server.Execute("DROP TEMPORARY TABLE IF EXISTS fresh");
    std::filesystem::remove(updates);
    std::filesystem::remove(inserts);
    return rate;
}

}  // namespace

int RunMariaDb(const BenchOptions& options) {
    const std::string database = "rs_bench_" + std::to_string(getpid());
    std::string folder = (std::filesystem::temp_directory_path() / "fill-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    Server server;
    server.Execute("CREATE DATABASE " + database);
    server.Execute("USE " + database);
    const std::string config = folder + "/aliases.ini";
    std::ofstream(config) << "[Bench]\nDRIVER=MARIADB\nSOCKET=" << Socket()
                          << "\nDATABASE NAME=" << database << "\nUSER NAME=root\n";
    std::vector<double> rowsmithRates;
    std::vector<double> loadRates;
    try {
        for (int run = 0; run < options.runs; ++run) {
            CreateTables(server, options, folder);
            DatabaseSession::Instance().SetConfigFile(config);
            TFillScenario scenario;
            MakeBenchScenario(scenario, "Bench", options);
            rowsmithRates.push_back(TimedFill(scenario, options.records));
            DatabaseSession::Instance().SetConfigFile("");

            CreateTables(server, options, folder);
            loadRates.push_back(RawLoad(server, options, folder));
        }
    } catch (...) {
        DatabaseSession::Instance().SetConfigFile("");
        server.Execute("DROP DATABASE IF EXISTS " + database);
        std::filesystem::remove_all(folder);
        throw;
    }
    server.Execute("DROP DATABASE IF EXISTS " + database);
    std::filesystem::remove_all(folder);
    PrintResults(rowsmithRates, loadRates, "load_data");
    return 0;
}

}  // namespace rowsmith::bench
