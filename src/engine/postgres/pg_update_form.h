// PgUpdateForm: the update form in PostgreSQL's words. The rows, each its key followed by the new
// values, are COPYed into a temporary table dropped at the commit and applied by one UPDATE ...
// FROM it, which gives the transaction ids of the row versions it wrote; a batch the server
// refuses is replayed one row at a time by the single-row form, which returns xmin.
#pragma once

#include <string>
#include <vector>

#include "engine/update_form.h"

namespace rowsmith {

// The form's `apply` gives one row per transaction id of the new row versions (xmin as text)
// with the number of rows written in it; `applyKeepingKeys` gives only the command's count, for
// rows whose keys stay as they are, whose new versions no walk needs to tell apart. `table` is
// schema-qualified and quoted; `keyColumns` are quoted, with their SQL types in `keyTypes`;
// `setColumns` are the quoted columns written.
UpdateForm MakePgUpdateForm(const std::string& table, const std::vector<std::string>& keyColumns,
                            const std::vector<std::string>& keyTypes,
                            const std::vector<std::string>& setColumns);

}  // namespace rowsmith
