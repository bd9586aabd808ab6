// TerminalReporter: shows a fill on standard error. On a terminal each table gets a progress bar
// with records per second, redrawn at most about ten times a second; otherwise (a log, a pipe) one
// line per table, written when the table's fill ends. Quiet prints nothing.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fill/fill_reporter.h"

namespace rowsmith {

class TerminalReporter : public FillReporter {
public:
    enum class Style { Quiet, Lines, ProgressBar };

    TerminalReporter(Style style, std::FILE* out);

    void SetStatus(const std::string& caption, bool repaintNow) override;
    void SetProgressRange(std::int64_t maximum) override;
    void SetProgressPosition(std::int64_t position) override;
    void ShowProgress(bool visible) override;
    void StepProgress() override;
    void SetBusy(bool busy) override;

    // After a successful fill: the totals.
    void FinishFill();
    // After a successful check.
    void FinishCheck();

private:
    using Clock = std::chrono::steady_clock;

    void DrawBar(Clock::time_point now);
    void ClearBar();
    void PrintTableLine(bool completed);

    Style style_;
    std::FILE* out_;
    const Clock::time_point runStart_;
    std::string caption_;
    int checkedTables_ = 0;
    int filledTables_ = 0;
    std::int64_t maximum_ = 0;
    std::int64_t position_ = 0;
    std::int64_t totalRecords_ = 0;
    Clock::time_point tableStart_;
    Clock::duration tableTime_{};
    Clock::time_point lastDraw_;
    bool barShown_ = false;
};

}  // namespace rowsmith
