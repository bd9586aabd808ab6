// EFillStopped: how a fill ends that was asked to stop (FillEngine::RequestStop: Esc in the
// window, SIGINT or SIGTERM to rowsmith-fill). It is raised once the records posted so far are
// committed, and says which table was being filled and how many of its records were written and
// kept; the tables before it were filled completely, the tables after it not at all.
#pragma once

#include <cstdint>
#include <string>

#include "text/errors.h"

namespace rowsmith {

class EFillStopped : public Exception {
public:
    // "Filling stopped in table "t" after 120 records, which are kept" (one record: "after 1
    // record, which is kept"; none: "before its first record").
    EFillStopped(const std::string& tableName, std::int64_t recordsKept);

    const std::string& TableName() const { return tableName_; }
    std::int64_t RecordsKept() const { return recordsKept_; }

private:
    std::string tableName_;
    std::int64_t recordsKept_;
};

}  // namespace rowsmith
