// EFillStopped: how a fill ends that was asked to stop (FillEngine::RequestStop: Esc in the
// window, SIGINT or SIGTERM to rowsmith-fill). It is raised once the records posted so far are
// committed, and says which table was being filled and how many of its records were written and
// kept; the tables before it were filled completely, the tables after it not at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "text/errors.h"

namespace rowsmith {

class EFillStopped : public Exception {
public:
    // "Filling stopped in table "t" after 120 records, which are kept" (one record: "after 1
    // record, which is kept"; none: "before its first record"). With `emptied`, the table was
    // emptied for the fill: "; its former records were removed" follows.
    EFillStopped(const std::string& tableName, std::int64_t recordsKept, bool emptied = false);

    const std::string& TableName() const { return tableName_; }
    std::int64_t RecordsKept() const { return recordsKept_; }

private:
    std::string tableName_;
    std::int64_t recordsKept_;
};

// The line that a database error ending the fill of a table gets: "Filling stopped in table "t",
// which now holds 120 records", counted once the error ended the fill, so whatever the database
// kept or rolled back is told as it is; without a count, only the table is named.
std::string FailedFillText(const std::string& tableName, std::optional<std::int64_t> recordsHeld);

}  // namespace rowsmith
