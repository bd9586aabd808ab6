#include "old_demo.h"

#include <sqlite3.h>

#include <stdexcept>

namespace rowsmith::test {

namespace {

const char kTables[] = R"sql(
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
    CustNo INTEGER NOT NULL REFERENCES customers(CustNo) {ON DELETE},
    EmpNo INTEGER REFERENCES employees(EmpNo) {ON DELETE},
    SaleDate DATE,
    ShipDate DATETIME,
    ShipVia VARCHAR(7),
    AmountPaid MONEY,
    Paid BOOLEAN DEFAULT 0
);
CREATE TABLE items (
    ItemNo INTEGER PRIMARY KEY,
    OrderNo INTEGER NOT NULL REFERENCES orders(OrderNo) {ON DELETE},
    PartNo INTEGER NOT NULL REFERENCES parts(PartNo) {ON DELETE},
    Qty SMALLINT NOT NULL,
    Discount DECIMAL(5,2) DEFAULT 0
);
)sql";

const char kIndexes[] = R"sql(
CREATE INDEX orders_CustNo ON orders (CustNo);
CREATE INDEX orders_EmpNo ON orders (EmpNo);
CREATE INDEX items_OrderNo ON items (OrderNo);
CREATE INDEX items_PartNo ON items (PartNo);
)sql";

const char kRows[] = R"sql(
INSERT INTO employees VALUES
    (1, 'Varga', 'Petra', '301', '2017-05-02', '08:15:00', 3800.00, 'Night shift'),
    (2, 'Osei', 'Kofi', '302', '2018-11-19', '09:45:00', 4100.25, NULL);
INSERT INTO parts VALUES
    (1, 'Saddle bag', 7, 18.5, 39.90, 0.6),
    (2, 'Tyre lever set', 30, 1.2, 4.95, 0.05);
INSERT INTO customers VALUES
    (1, 'Larkspur Garden Tools', 'Hana Novotná', 'Brno', 'Czechia', '420-555-0101', 3000.00,
     '2016-02-29', 1),
    (2, 'Oakhollow Games', 'Tiago Souza', 'Recife', 'Brazil', '55-555-0133', 800.00,
     '2017-09-04', 0);
INSERT INTO orders VALUES
    (1, 1, 1, '2023-03-01', '2023-03-03 11:00:00', 'Post', 44.85, 1),
    (2, 2, 2, '2023-04-12', NULL, 'DHL', 0.00, 0);
INSERT INTO items VALUES
    (1, 1, 1, 1, 0),
    (2, 1, 2, 1, 5),
    (3, 2, 2, 4, 0);
)sql";

// Left behind by "Emty table and fill" on customers before the references cascaded.
const char kDanglingOrder[] =
    "INSERT INTO orders VALUES (3, 9, 1, '2023-05-20', NULL, 'UPS', 12.00, 1);";

void Execute(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error != nullptr ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error(message + "\n" + sql);
    }
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

}  // namespace

void WriteOldDemo(const std::string& path, OldDemo kind) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    try {
        const bool cascades = kind != OldDemo::NoCascade;
        Execute(db, Replaced(kTables, " {ON DELETE}", cascades ? " ON DELETE CASCADE" : ""));
        if (kind == OldDemo::Unversioned) {
            Execute(db, kIndexes);
        }
        Execute(db, kRows);
        if (!cascades) {
            Execute(db, kDanglingOrder);
        }
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
}

}  // namespace rowsmith::test
