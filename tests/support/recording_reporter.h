// RecordingReporter: a fill listener for tests that keeps what the fill engine tells it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fill/fill_reporter.h"

namespace rowsmith::test {

// Records every call as a short text: "check:orders", "fill:orders", "writing:10", "completed",
// "stopped". Written records are counted rather than recorded.
class RecordingReporter : public FillReporter {
public:
    void TableStarted(const std::string& tableName, TableWork work) override {
        calls.push_back((work == TableWork::Fill ? "fill:" : "check:") + tableName);
        inTable = true;
    }
    void WritingStarted(std::int64_t records) override {
        calls.push_back("writing:" + std::to_string(records));
        written = 0;
    }
    void RecordsWritten(std::int64_t count) override { written = count; }
    void TableFinished(bool completed) override {
        calls.push_back(completed ? "completed" : "stopped");
        inTable = false;
    }

    std::vector<std::string> calls;
    // The last count of written records the table's fill reported.
    std::int64_t written = 0;
    // Between TableStarted and TableFinished.
    bool inTable = false;
};

}  // namespace rowsmith::test
