#include "engine/read_ahead.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

namespace rowsmith {

namespace {

std::size_t Bytes(const FieldValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    return sizeof(FieldValue) + (text != nullptr ? text->capacity() : 0);
}

}  // namespace

std::vector<Record> ReadAhead::Page(const RecordKey* after, std::size_t limit, std::size_t ahead,
                                    const Query& query) {
    const bool continues =
        after != nullptr && !records_.empty() && after_ && after_->parts == after->parts;
    if (!continues) {
        Clear();
        if (ahead <= limit) {
            return query(after, limit);
        }
        Read(after, limit, ahead, query);
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

void ReadAhead::Read(const RecordKey* after, std::size_t limit, std::size_t ahead,
                     const Query& query) {
    // Before the first read the size of a record is not known: a page is read to learn it, and
    // the rest right after it, before the walk has anything to write.
    const bool first = recordBytes_ == 0;
    std::vector<Record> read = query(after, first ? limit : ReadCount(limit, ahead));
    Measure(read);
    const bool full = read.size() == limit;
    records_.assign(std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
    if (first && full && ReadCount(limit, ahead) > limit) {
        const RecordKey last = records_.back().key;
        read = query(&last, ReadCount(limit, ahead) - limit);
        records_.insert(records_.end(), std::make_move_iterator(read.begin()),
                        std::make_move_iterator(read.end()));
    }
}

std::size_t ReadAhead::ReadCount(std::size_t limit, std::size_t ahead) const {
    if (recordBytes_ == 0) {
        return limit;
    }
    return std::min(ahead, std::max(limit, kAheadBytes / recordBytes_));
}

void ReadAhead::Measure(const std::vector<Record>& read) {
    if (read.empty()) {
        return;
    }
    std::size_t bytes = 0;
    for (const Record& record : read) {
        bytes += sizeof(Record);
        for (const FieldValue& part : record.key.parts) {
            bytes += Bytes(part);
        }
        for (const FieldValue& value : record.values) {
            bytes += Bytes(value);
        }
    }
    recordBytes_ = std::max<std::size_t>(1, bytes / read.size());
}

void ReadAhead::Clear() {
    records_.clear();
    after_.reset();
}

}  // namespace rowsmith
