// The constraints of a PostgreSQL table, from pg_attribute, pg_constraint and pg_index.
#pragma once

#include <string>

#include "engine/postgres/pg_link.h"
#include "engine/table_constraints.h"

namespace rowsmith {

TableConstraints ReadPgConstraints(PgLink& link, const std::string& schema,
                                   const std::string& table);

}  // namespace rowsmith
