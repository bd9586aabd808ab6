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

    void TableStarted(const std::string& tableName, TableWork work) override;
    void WritingStarted(std::int64_t records) override;
    void RecordsWritten(std::int64_t written) override;
    void TableFinished(bool completed) override;

    // After a successful fill: the totals.
    void FinishFill();
    // After a successful dry run: the totals of the records that were written and rolled back.
    void FinishDryRun();
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
    // Between WritingStarted and TableFinished: a table whose end gets its line.
    bool writing_ = false;
    bool barShown_ = false;
};

}  // namespace rowsmith
