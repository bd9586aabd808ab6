// The records a walk reads ahead: a page that continues the last one comes from them, any other
// goes to the server, and nothing is met twice or left out.
#include "engine/read_ahead.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace rowsmith::test {
namespace {

// A table of the keys 1..count, read in key order, counting its reads.
struct Keys {
    std::int64_t count;
    int reads = 0;

    std::vector<Record> Read(const RecordKey* after, std::size_t limit) {
        ++reads;
        std::vector<Record> records;
        std::int64_t key = after != nullptr ? std::get<std::int64_t>(after->parts[0]) + 1 : 1;
        for (; key <= count && records.size() < limit; ++key) {
            records.push_back(Record{RecordKey{{key}}, {}});
        }
        return records;
    }
};

std::vector<std::int64_t> Walk(ReadAhead& ahead, Keys& table, std::size_t page,
                               std::size_t readAhead) {
    std::vector<std::int64_t> met;
    const ReadAhead::Query query = [&](const RecordKey* after, std::size_t limit) {
        return table.Read(after, limit);
    };
    std::vector<Record> records = ahead.Page(nullptr, page, readAhead, query);
    while (!records.empty()) {
        for (const Record& record : records) {
            met.push_back(std::get<std::int64_t>(record.key.parts[0]));
        }
        const RecordKey last = records.back().key;
        records = ahead.Page(&last, page, readAhead, query);
    }
    return met;
}

TEST(ReadAheadTest, AWalkMeetsEveryRecordOnceInFewerReads) {
    std::vector<std::int64_t> all(2500);
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = static_cast<std::int64_t>(i) + 1;
    }
    for (const auto& [readAhead, reads] :
         {std::pair<std::size_t, int>{0, 26}, {100, 26}, {1000, 4}, {10000, 2}}) {
        SCOPED_TRACE(readAhead);
        ReadAhead ahead;
        Keys table{2500};
        EXPECT_EQ(Walk(ahead, table, 100, readAhead), all);
        EXPECT_EQ(table.reads, reads);
    }
}

// A page asked for after another key than the last one given, or after Clear, is read afresh.
TEST(ReadAheadTest, APageThatDoesNotContinueIsReadAgain) {
    ReadAhead ahead;
    Keys table{50};
    const ReadAhead::Query query = [&](const RecordKey* after, std::size_t limit) {
        return table.Read(after, limit);
    };
    ASSERT_EQ(ahead.Page(nullptr, 10, 40, query).size(), 10u);
    const RecordKey five{{std::int64_t{5}}};
    std::vector<Record> page = ahead.Page(&five, 10, 40, query);
    EXPECT_EQ(std::get<std::int64_t>(page.front().key.parts[0]), 6);
    EXPECT_EQ(table.reads, 2);
    ahead.Clear();
    const RecordKey fifteen{{std::int64_t{15}}};
    page = ahead.Page(&fifteen, 10, 40, query);
    EXPECT_EQ(std::get<std::int64_t>(page.front().key.parts[0]), 16);
    EXPECT_EQ(table.reads, 3);
}

}  // namespace
}  // namespace rowsmith::test
