#include "engine/read_ahead.h"

#include <iterator>
#include <utility>

namespace rowsmith {

std::vector<Record> ReadAhead::Page(const RecordKey* after, std::size_t limit, std::size_t ahead,
                                    const Query& query) {
    const bool continues =
        after != nullptr && !records_.empty() && after_ && after_->parts == after->parts;
    if (!continues) {
        Clear();
        if (limit >= ahead) {
            return query(after, limit);
        }
        std::vector<Record> read = query(after, ahead);
        records_.assign(std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
    }
    std::vector<Record> page;
    while (page.size() < limit && !records_.empty()) {
        page.push_back(std::move(records_.front()));
        records_.pop_front();
    }
    if (!page.empty()) {
        after_ = page.back().key;
    }
    return page;
}

void ReadAhead::Clear() {
    records_.clear();
    after_.reset();
}

}  // namespace rowsmith
