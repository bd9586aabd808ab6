// MariaUpdateForm: the update form in MariaDB's words. The new values and then the old key of
// each record go into a temporary table, many rows to an INSERT, and one UPDATE joining it
// writes them over the table's records. The temporary table lives as long as the connection, so
// the form remembers on which connection it made it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/mariadb/mariadb_column.h"
#include "engine/update_form.h"

namespace rowsmith {

struct MariaUpdateForm : UpdateForm {
    // The connection (MariaLink::Generation) on which `create` last ran; 0 for none.
    std::uint64_t createdOn = 0;
    // For a table found by one whole-number column, `applyKeepingKeys` for a set of records
    // whose keys lie in a range, up to the range's bounds: "... BETWEEN ". Empty for other keys.
    std::string applyInRange;
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
