// The constraints of a SQLite table, from its table_info, index_list and foreign_key_list.
#pragma once

#include <sqlite3.h>

#include <string>

#include "engine/table_constraints.h"

namespace rowsmith {

TableConstraints ReadSqliteConstraints(sqlite3* db, const std::string& table);

}  // namespace rowsmith
