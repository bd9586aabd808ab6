// The constraints of a MariaDB table, from information_schema's COLUMNS, STATISTICS and
// KEY_COLUMN_USAGE.
#pragma once

#include <string>

#include "engine/mariadb/mariadb_link.h"
#include "engine/table_constraints.h"

namespace rowsmith {

// Raises EDBEngineError for a table the database does not have.
TableConstraints ReadMariaConstraints(MariaLink& link, const std::string& table);

}  // namespace rowsmith
