// MariaLayout: what the MariaDB driver learns of a table from the information schema when it
// opens it: its storage engine, the columns in order with their types, and the key its records
// are walked and found by.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/mariadb/mariadb_column.h"
#include "engine/mariadb/mariadb_link.h"

namespace rowsmith {

struct MariaLayout {
    // The storage engine, and whether it keeps transactions (InnoDB does, MyISAM does not).
    std::string engine;
    bool transactional = true;
    std::vector<MariaColumn> columns;
    // Positions of the primary key's columns, else of the first unique key of NOT NULL columns
    // by name, in key order; empty when the table has neither.
    std::vector<std::size_t> keyColumns;
};

// The layout of the base table `name`. Raises EDBEngineError when the database has none.
MariaLayout ReadMariaLayout(MariaLink& link, const std::string& name);

}  // namespace rowsmith
