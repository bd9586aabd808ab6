// ReadAhead: the records a server's walk by key has read beyond the pages it was asked for. In a
// fill run the walk reads many records at once, so that its updates go to the server in sets of
// that size rather than a page's: every read of the table first sends the updates still waiting.
// Records that lie ahead of the walk are not written by it: its updates write the records it has
// passed, and a record whose key an update moves ahead is skipped. So the records read ahead are
// the ones a read later would give.
//
// Records read ahead are held in memory, so no more are read at once than kAheadBytes hold, by
// the size of the records of the first page (a page at the least): a table of large texts or
// blobs is read a page at a time, as without read-ahead.
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
    // What the records read at once may take in memory, about.
    static constexpr std::size_t kAheadBytes = 32u << 20;

    // Reads up to `limit` records after `after` (from the start for none) from the server.
    using Query = std::function<std::vector<Record>(const RecordKey* after, std::size_t limit)>;

    // The page of up to `limit` records after `after`: taken from the records read ahead when it
    // continues the last page given, else read by `query`, up to `ahead` records at once when
    // that is more than `limit` (0: only the page).
    std::vector<Record> Page(const RecordKey* after, std::size_t limit, std::size_t ahead,
                             const Query& query);
    // Forgets the records read ahead: the walk starts elsewhere, or the table changed.
    void Clear();

private:
    // Reads the records ahead of `after`, pages of `limit` and up to `ahead` of them.
    void Read(const RecordKey* after, std::size_t limit, std::size_t ahead, const Query& query);
    // How many records to read at once for pages of `limit`, up to `ahead`.
    std::size_t ReadCount(std::size_t limit, std::size_t ahead) const;
    // Takes the size of the records of a read as the size of a record.
    void Measure(const std::vector<Record>& read);

    std::deque<Record> records_;
    // The key of the last record of the last page given.
    std::optional<RecordKey> after_;
    // The bytes a record of the last read took, on average; 0 before the first read.
    std::size_t recordBytes_ = 0;
};

}  // namespace rowsmith
