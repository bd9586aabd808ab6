// MariaUpdateForm: the statements that write many records' updates of the same columns of a table
// at once. The new values and the old key of each record go into a temporary table of the same
// column types, many rows to an INSERT, and one UPDATE joining it writes them over the table's
// records. The one-record UPDATE takes the same parameters, in the same order, for a replay.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/mariadb/mariadb_column.h"

namespace rowsmith {

struct MariaUpdateForm {
    // Creates the temporary table, empty, on a connection that does not have it yet.
    std::string create;
    // Empties it before each set of records.
    std::string clear;
    // Appends one record's values and then its old key; the row of placeholders begins at
    // `valuesAt`.
    std::string insert;
    std::size_t valuesAt = 0;
    // Writes the temporary table's records over the table's; matches one record for each.
    std::string apply;
    // The same for records that all keep their keys: a key column left alone spares the server
    // setting the updates aside before it writes them.
    std::string applyKeepingKeys;
    // UPDATE of one record, by the same parameters as `insert`.
    std::string single;
    // The connection (MariaLink::Generation) on which `create` last ran; 0 for none.
    std::uint64_t createdOn = 0;
};

// The form for updates of the assigned columns of `table` (quoted), whose records are found by
// the columns at `keyColumns`, for up to `rowsAtOnce` records at a time. REQUIRES: at least one
// column assigned.
std::shared_ptr<MariaUpdateForm> MakeMariaUpdateForm(const std::string& table,
                                                     const std::vector<MariaColumn>& columns,
                                                     const std::vector<std::size_t>& keyColumns,
                                                     const std::vector<bool>& assigned,
                                                     std::size_t rowsAtOnce);

}  // namespace rowsmith
