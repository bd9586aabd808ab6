#include "engine/sqlite/demo_database.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "engine/alias_config.h"
#include "engine/database_errors.h"
#include "engine/sqlite/sqlite_database.h"

namespace rowsmith {

namespace {

namespace fs = std::filesystem;

// Related sample tables: orders belong to customers and are taken by employees; items are the
// parts of an order. Together their columns cover the types a fill meets. The references
// cascade, as in the server scripts of examples/: emptying a table (as "Emty table and fill"
// does, parents first) empties the records that refer to it, which the demo scenario fills
// again afterwards. Each deleted record looks up the records referring to it, so the referring
// columns are indexed: without them, emptying a parent scans its children once per record.
const char kDemoSchema[] = R"sql(
CREATE TABLE employees (
    EmpNo INTEGER PRIMARY KEY,
    LastName VARCHAR(20) NOT NULL,
    FirstName VARCHAR(15),
    PhoneExt VARCHAR(4),
    HireDate DATE,
    StartTime TIME,
    Salary MONEY,
    Notes TEXT
);
CREATE TABLE parts (
    PartNo INTEGER PRIMARY KEY,
    Description VARCHAR(30) NOT NULL,
    OnHand SMALLINT DEFAULT 0,
    Cost REAL,
    ListPrice MONEY,
    Weight DOUBLE
);
CREATE TABLE customers (
    CustNo INTEGER PRIMARY KEY,
    Company VARCHAR(30) NOT NULL,
    Contact VARCHAR(25),
    City VARCHAR(15),
    Country VARCHAR(20),
    Phone VARCHAR(15),
    CreditLimit MONEY,
    Since DATE,
    Active BOOLEAN DEFAULT 1
);
CREATE TABLE orders (
    OrderNo INTEGER PRIMARY KEY,
    CustNo INTEGER NOT NULL REFERENCES customers(CustNo) ON DELETE CASCADE,
    EmpNo INTEGER REFERENCES employees(EmpNo) ON DELETE CASCADE,
    SaleDate DATE,
    ShipDate DATETIME,
    ShipVia VARCHAR(7),
    AmountPaid MONEY,
    Paid BOOLEAN DEFAULT 0
);
CREATE TABLE items (
    ItemNo INTEGER PRIMARY KEY,
    OrderNo INTEGER NOT NULL REFERENCES orders(OrderNo) ON DELETE CASCADE,
    PartNo INTEGER NOT NULL REFERENCES parts(PartNo) ON DELETE CASCADE,
    Qty SMALLINT NOT NULL,
    Discount DECIMAL(5,2) DEFAULT 0
);
CREATE INDEX orders_CustNo ON orders (CustNo);
CREATE INDEX orders_EmpNo ON orders (EmpNo);
CREATE INDEX items_OrderNo ON items (OrderNo);
CREATE INDEX items_PartNo ON items (PartNo);

INSERT INTO employees VALUES
    (1, 'Okafor', 'Amara', '250', '2019-04-01', '08:00:00', 4250.00, 'Sales lead'),
    (2, 'Lindgren', 'Tove', '233', '2020-09-15', '09:00:00', 3900.50, NULL),
    (3, 'Tanaka', 'Ren', '22', '2021-02-01', '08:30:00', 3100.00, 'Part time'),
    (4, 'Moreau', 'Elise', '410', '2022-06-20', '10:00:00', 3350.75, NULL);
INSERT INTO parts VALUES
    (1, 'Bicycle pump', 12, 210.5, 399.00, 0.35),
    (2, 'Brake cable', 8, 180.0, 329.95, 1.2),
    (3, 'Rain jacket M', 25, 65.25, 149.00, 2.8),
    (4, 'Bell', 40, 22.4, 59.90, 1.1),
    (5, 'Mudguard', 55, 9.75, 24.50, 0.25);
INSERT INTO customers VALUES
    (1, 'Harbourlight Cycles', 'Ines Carvalho', 'Porto', 'Portugal', '351-555-0141', 5000.00,
     '2018-03-12', 1),
    (2, 'Quillfeather Books', 'Jonas Brandt', 'Leipzig', 'Germany', '49-555-0172', 2500.00,
     '2019-07-01', 1),
    (3, 'Tern & Tide Outfitters', 'Maeve Doyle', 'Galway', 'Ireland', '353-555-0119', 1500.00,
     '2020-11-23', 0),
    (4, 'Copperleaf Studio', 'Kwame Mensah', 'Kumasi', 'Ghana',
     '233-555-0188', 7500.00, '2021-05-30', 1);
INSERT INTO orders VALUES
    (1, 1, 1, '2024-01-08', '2024-01-10 14:30:00', 'UPS', 448.90, 1),
    (2, 2, 2, '2024-01-19', '2024-01-22 09:15:00', 'FedEx', 329.95, 1),
    (3, 1, 4, '2024-02-02', NULL, 'DHL', 0.00, 0),
    (4, 4, 3, '2024-02-14', '2024-02-15 16:45:00', 'UPS', 173.50, 0);
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
    database.Execute(kDemoSchema);
    database.Execute("COMMIT");
}

}  // namespace

void EnsureDemoDatabase(const std::string& path) {
    std::error_code error;
    if (fs::exists(path, error)) {
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
