#include "engine/sqlite/demo_schema.h"

namespace rowsmith {

// Orders belong to customers and are taken by employees; items are the parts of an order.
// Together their columns cover the types a fill meets. Columns added since the first demo stand
// last, where ALTER TABLE ADD COLUMN puts them in an older demo. The text columns are wide enough
// for the shipped libraries that examples/demo.scn draws from.
const std::vector<DemoTable>& DemoTables() {
    static const std::vector<DemoTable> tables = {
        {"employees",
         {{"EmpNo", "INTEGER", "PRIMARY KEY"},
          {"LastName", "VARCHAR(20)", "NOT NULL"},
          {"FirstName", "VARCHAR(15)", ""},
          {"PhoneExt", "VARCHAR(4)", ""},
          {"HireDate", "DATE", ""},
          {"StartTime", "TIME", ""},
          {"Salary", "MONEY", ""},
          {"Notes", "TEXT", ""},
          {"Email", "VARCHAR(50)", ""}}},
        {"parts",
         {{"PartNo", "INTEGER", "PRIMARY KEY"},
          {"Description", "VARCHAR(40)", "NOT NULL"},
          {"OnHand", "SMALLINT", "DEFAULT 0"},
          {"Cost", "REAL", ""},
          {"ListPrice", "MONEY", ""},
          {"Weight", "DOUBLE", ""}}},
        {"customers",
         {{"CustNo", "INTEGER", "PRIMARY KEY"},
          {"Company", "VARCHAR(40)", "NOT NULL"},
          {"Contact", "VARCHAR(30)", ""},
          {"City", "VARCHAR(30)", ""},
          {"Country", "VARCHAR(60)", ""},
          {"Phone", "VARCHAR(15)", ""},
          {"CreditLimit", "MONEY", ""},
          {"Since", "DATE", ""},
          {"Active", "BOOLEAN", "DEFAULT 1"},
          {"FirstName", "VARCHAR(15)", ""},
          {"LastName", "VARCHAR(20)", ""},
          {"Email", "VARCHAR(50)", ""}}},
        // The references cascade, as in the server scripts of examples/: emptying a table (as
        // "Emty table and fill" does, parents first) empties the records that refer to it, which
        // the demo scenario fills again afterwards.
        {"orders",
         {{"OrderNo", "INTEGER", "PRIMARY KEY"},
          {"CustNo", "INTEGER", "NOT NULL REFERENCES customers(CustNo) ON DELETE CASCADE"},
          {"EmpNo", "INTEGER", "REFERENCES employees(EmpNo) ON DELETE CASCADE"},
          {"SaleDate", "DATE", ""},
          {"ShipDate", "DATETIME", ""},
          {"ShipVia", "VARCHAR(7)", ""},
          {"AmountPaid", "MONEY", ""},
          {"Paid", "BOOLEAN", "DEFAULT 0"},
          {"OrderRef", "VARCHAR(12)", ""}}},
        {"items",
         {{"ItemNo", "INTEGER", "PRIMARY KEY"},
          {"OrderNo", "INTEGER", "NOT NULL REFERENCES orders(OrderNo) ON DELETE CASCADE"},
          {"PartNo", "INTEGER", "NOT NULL REFERENCES parts(PartNo) ON DELETE CASCADE"},
          {"Qty", "SMALLINT", "NOT NULL"},
          {"Discount", "DECIMAL(5,2)", "DEFAULT 0"}}},
    };
    return tables;
}

std::string DemoColumnSql(const DemoColumn& column) {
    std::string sql = std::string(column.name) + " " + column.type;
    if (*column.constraints != '\0') {
        sql += std::string(" ") + column.constraints;
    }
    return sql;
}

std::string DemoTableSql(const DemoTable& table, const std::string& name) {
    std::string sql = "CREATE TABLE \"" + name + "\" (";
    const char* separator = "\n    ";
    for (const DemoColumn& column : table.columns) {
        sql += separator + DemoColumnSql(column);
        separator = ",\n    ";
    }
    return sql + "\n)";
}

// Each deleted record looks up the records referring to it: without these, emptying a parent
// scans its children once per record.
const char kDemoIndexes[] = R"sql(
CREATE INDEX IF NOT EXISTS orders_CustNo ON orders (CustNo);
CREATE INDEX IF NOT EXISTS orders_EmpNo ON orders (EmpNo);
CREATE INDEX IF NOT EXISTS items_OrderNo ON items (OrderNo);
CREATE INDEX IF NOT EXISTS items_PartNo ON items (PartNo);
)sql";

}  // namespace rowsmith
