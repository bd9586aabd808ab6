// The records a walk reads ahead: a page that continues the last one comes from them, any other
// goes to the server, and nothing is met twice or left out.
#include "engine/read_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace rowsmith::test {
namespace {

// A table of the keys 1..count, each record holding a text of `textBytes`, read in key order;
// it counts its reads and remembers the largest.
struct Keys {
    std::int64_t count;
    std::size_t textBytes = 0;
    int reads = 0;
    std::size_t largestRead = 0;

    std::vector<Record> Read(const RecordKey* after, std::size_t limit) {
        ++reads;
        largestRead = std::max(largestRead, limit);
        std::vector<Record> records;
        std::int64_t key = after != nullptr ? std::get<std::int64_t>(after->parts[0]) + 1 : 1;
        for (; key <= count && records.size() < limit; ++key) {
            records.push_back(Record{RecordKey{{key}}, {std::string(textBytes, 'x')}});
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

// The first page is read alone, to learn how large a record is; then up to the read-ahead.
TEST(ReadAheadTest, AWalkMeetsEveryRecordOnceInFewerReads) {
    std::vector<std::int64_t> all(2500);
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = static_cast<std::int64_t>(i) + 1;
    }
    for (const auto& [readAhead, reads] :
         {std::pair<std::size_t, int>{0, 26}, {100, 26}, {1000, 5}, {10000, 3}}) {
        SCOPED_TRACE(readAhead);
        ReadAhead ahead;
        Keys table{2500};
        EXPECT_EQ(Walk(ahead, table, 100, readAhead), all);
        EXPECT_EQ(table.reads, reads);
    }
}

// Records of 100 kB are read as many at a time as fit the read-ahead's bytes, and records of
// several megabytes a page at a time, whatever number of records the read-ahead asked for.
TEST(ReadAheadTest, LargeRecordsAreReadFewerAtATime) {
    constexpr std::size_t kText = 100000;
    ReadAhead ahead;
    Keys table{1000, kText};
    EXPECT_EQ(Walk(ahead, table, 10, 20000).size(), 1000u);
    EXPECT_LE(table.largestRead, ReadAhead::kAheadBytes / kText);
    EXPECT_GE(table.largestRead, ReadAhead::kAheadBytes / (kText + 1000));

    ReadAhead pages;
    Keys large{100, 4000000};
    EXPECT_EQ(Walk(pages, large, 10, 20000).size(), 100u);
    EXPECT_EQ(large.largestRead, 10u);
}

// A page asked for after another key than the last one given, or after Clear, is read afresh.
TEST(ReadAheadTest, APageThatDoesNotContinueIsReadAgain) {
    ReadAhead ahead;
    Keys table{50};
    const ReadAhead::Query query = [&](const RecordKey* after, std::size_t limit) {
        return table.Read(after, limit);
    };
    // The first page, and the rest of the read-ahead right after it.
    ASSERT_EQ(ahead.Page(nullptr, 10, 40, query).size(), 10u);
    EXPECT_EQ(table.reads, 2);
    const RecordKey five{{std::int64_t{5}}};
    std::vector<Record> page = ahead.Page(&five, 10, 40, query);
    EXPECT_EQ(std::get<std::int64_t>(page.front().key.parts[0]), 6);
    EXPECT_EQ(table.reads, 3);
    ahead.Clear();
    const RecordKey fifteen{{std::int64_t{15}}};
    page = ahead.Page(&fifteen, 10, 40, query);
    EXPECT_EQ(std::get<std::int64_t>(page.front().key.parts[0]), 16);
    EXPECT_EQ(table.reads, 4);
}

}  // namespace
}  // namespace rowsmith::test
