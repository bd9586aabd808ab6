// PgUpdateForm: the statements that write a batch of updates of one table's columns at once.
// The rows, each its key followed by the new values, are COPYed into a temporary table and
// applied by one UPDATE ... FROM it; a batch the server refuses is replayed one row at a time by
// the single-row form, with the same parameters in the same order.
#pragma once

#include <string>
#include <vector>

namespace rowsmith {

struct PgUpdateForm {
    // Replaces the temporary table, dropped at the commit.
    std::string create;
    // COPY into it.
    std::string copy;
    // Writes its rows over the table's; gives one row per transaction id of the new row versions
    // (xmin as text) with the number of rows written in it.
    std::string apply;
    // One row's update: the key is $1..$k, the values follow; RETURNING xmin.
    std::string single;
};

// `table` is schema-qualified and quoted; `keyColumns` are quoted, with their SQL types in
// `keyTypes`; `setColumns` are the quoted columns written.
PgUpdateForm MakePgUpdateForm(const std::string& table, const std::vector<std::string>& keyColumns,
                              const std::vector<std::string>& keyTypes,
                              const std::vector<std::string>& setColumns);

}  // namespace rowsmith
