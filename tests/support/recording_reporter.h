// RecordingReporter: a fill listener for tests that keeps what the fill engine tells it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fill/fill_reporter.h"

namespace rowsmith::test {

// Records every call as a short text: "status:orders:repaint", "range:10", "show:1", "busy:0", ...
// Steps are counted rather than recorded.
class RecordingReporter : public FillReporter {
public:
    void SetStatus(const std::string& caption, bool repaintNow) override {
        calls.push_back("status:" + caption + (repaintNow ? ":repaint" : ""));
    }
    void SetProgressRange(std::int64_t maximum) override {
        calls.push_back("range:" + std::to_string(maximum));
    }
    void SetProgressPosition(std::int64_t position) override {
        calls.push_back("position:" + std::to_string(position));
    }
    void ShowProgress(bool visible) override { calls.push_back(visible ? "show:1" : "show:0"); }
    void StepProgress() override { ++steps; }
    void SetBusy(bool busy) override {
        calls.push_back(busy ? "busy:1" : "busy:0");
        this->busy = busy;
    }

    std::vector<std::string> calls;
    int steps = 0;
    bool busy = false;
};

}  // namespace rowsmith::test
