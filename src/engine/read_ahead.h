// ReadAhead: the records a server's walk by key has read beyond the pages it was asked for. In a
// fill run the walk reads many records at once, so that its updates go to the server in sets of
// that size rather than a page's: every read of the table first sends the updates still waiting.
// Records that lie ahead of the walk are not written by it: its updates write the records it has
// passed, and a record whose key an update moves ahead is skipped. So the records read ahead are
// the ones a read later would give.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "engine/driver.h"

namespace rowsmith {

class ReadAhead {
public:
    // Reads up to `limit` records after `after` (from the start for none) from the server.
    using Query = std::function<std::vector<Record>(const RecordKey* after, std::size_t limit)>;

    // The page of up to `limit` records after `after`: taken from the records read ahead when it
    // continues the last page given, else read by `query`, `ahead` records at once when that is
    // more than `limit` (0: only the page).
    std::vector<Record> Page(const RecordKey* after, std::size_t limit, std::size_t ahead,
                             const Query& query);
    // Forgets the records read ahead: the walk starts elsewhere, or the table changed.
    void Clear();

private:
    std::deque<Record> records_;
    // The key of the last record of the last page given.
    std::optional<RecordKey> after_;
};

}  // namespace rowsmith
