#include "engine/sqlite/demo_database.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "engine/alias_config.h"
#include "engine/database_errors.h"
#include "engine/sqlite/demo_schema.h"
#include "engine/sqlite/demo_upgrade.h"
#include "engine/sqlite/sqlite_database.h"

namespace rowsmith {

namespace {

namespace fs = std::filesystem;

// Some records in every table, so that the data viewer shows something before the first fill.
// The people, companies and products are made up for Rowsmith.
const char kDemoRows[] = R"sql(
INSERT INTO employees VALUES
    (1, 'Okafor', 'Amara', '250', '2019-04-01', '08:00:00', 4250.00, 'Sales lead',
     'amara.okafor@example.com'),
    (2, 'Lindgren', 'Tove', '233', '2020-09-15', '09:00:00', 3900.50, NULL,
     'tove.lindgren@mail.example.org'),
    (3, 'Tanaka', 'Ren', '22', '2021-02-01', '08:30:00', 3100.00, 'Part time',
     'ren.tanaka@example.net'),
    (4, 'Moreau', 'Élise', '410', '2022-06-20', '10:00:00', 3350.75, NULL,
     'elise.moreau@staff.example.net');
INSERT INTO parts VALUES
    (1, 'Bicycle pump', 12, 210.5, 399.00, 0.35),
    (2, 'Brake cable', 8, 180.0, 329.95, 1.2),
    (3, 'Rain jacket M', 25, 65.25, 149.00, 2.8),
    (4, 'Bell', 40, 22.4, 59.90, 1.1),
    (5, 'Mudguard', 55, 9.75, 24.50, 0.25);
INSERT INTO customers VALUES
    (1, 'Harbourlight Cycles', 'Inês Carvalho', 'Porto', 'Portugal', '351-555-0141', 5000.00,
     '2018-03-12', 1, 'Inês', 'Carvalho', 'ines.carvalho@example.net'),
    (2, 'Quillfeather Books', 'Jonas Brandt', 'Leipzig', 'Germany', '49-555-0172', 2500.00,
     '2019-07-01', 1, 'Jonas', 'Brandt', 'jonas.brandt@shop.example.com'),
    (3, 'Tern & Tide Outfitters', 'Maeve Doyle', 'Galway', 'Ireland', '353-555-0119', 1500.00,
     '2020-11-23', 0, 'Maeve', 'Doyle', 'maeve.doyle@example.org'),
    (4, 'Copperleaf Studio', 'Kwame Mensah', 'Kumasi', 'Ghana', '233-555-0188', 7500.00,
     '2021-05-30', 1, 'Kwame', 'Mensah', 'kwame.mensah@mail.example.com');
INSERT INTO orders VALUES
    (1, 1, 1, '2024-01-08', '2024-01-10 14:30:00', 'UPS', 448.90, 1, 'ORD-2401-HC'),
    (2, 2, 2, '2024-01-19', '2024-01-22 09:15:00', 'FedEx', 329.95, 1, 'ORD-2402-QB'),
    (3, 1, 4, '2024-02-02', NULL, 'DHL', 0.00, 0, 'ORD-2403-HC'),
    (4, 4, 3, '2024-02-14', '2024-02-15 16:45:00', 'UPS', 173.50, 0, 'ORD-2404-CS');
INSERT INTO items VALUES
    (1, 1, 1, 1, 0),
    (2, 1, 4, 1, 10),
    (3, 2, 2, 1, 0),
    (4, 3, 3, 2, 5),
    (5, 4, 5, 3, 0),
    (6, 4, 4, 2, 12.5);
)sql";

void CreateDemoDatabase(const std::string& path) {
    {
        sqlite3* db = nullptr;
        const int rc =
            sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close_v2(db);
        if (rc != SQLITE_OK) {
            throw EDBEngineError(message + "\n" + path);
        }
    }
    SqliteDatabase database(path, kDefaultLockTimeoutMs, true);
    database.Execute("BEGIN");
    for (const DemoTable& table : DemoTables()) {
        database.Execute(DemoTableSql(table, table.name).c_str());
    }
    database.Execute(kDemoIndexes);
    database.Execute(kDemoRows);
    database.Execute(("PRAGMA user_version = " + std::to_string(kDemoSchemaVersion)).c_str());
    database.Execute("COMMIT");
}

}  // namespace

void EnsureDemoDatabase(const std::string& path) {
    std::error_code error;
    if (fs::exists(path, error)) {
        UpgradeDemoDatabase(path);
        return;
    }
    const fs::path target(path);
    fs::create_directories(target.parent_path(), error);
    if (error) {
        throw EDBEngineError("Cannot create the folder " + target.parent_path().string() + "\n" +
                             error.message());
    }
    const std::string building = path + ".new-" + std::to_string(getpid());
    try {
        CreateDemoDatabase(building);
    } catch (...) {
        fs::remove(building, error);
        throw;
    }
    fs::rename(building, target, error);
    if (error) {
        const std::string reason = error.message();
        fs::remove(building, error);
        throw EDBEngineError("Cannot create the demo database " + path + "\n" + reason);
    }
}

}  // namespace rowsmith
