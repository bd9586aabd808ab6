// TerminalReporter: shows a fill on standard error. On a terminal each table gets a progress bar
// with records per second, redrawn at most about ten times a second; otherwise (a log, a pipe) one
// line per table, written when the table's fill ends, and while a table takes long a line every
// ten seconds with the records so far and their rate, so that a CI log tells a long fill from a
// hung one. Quiet prints nothing.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "fill/fill_reporter.h"

namespace rowsmith {

class TerminalReporter : public FillReporter {
public:
    enum class Style { Quiet, Lines, ProgressBar };
    using Clock = std::chrono::steady_clock;
    // Where the reporter reads the time: the steady clock, or a test's own.
    using Now = std::function<Clock::time_point()>;
    // The columns of the terminal the bar is drawn on, asked at every drawing so that the bar
    // follows a resized window; 0 when it cannot tell.
    using Columns = std::function<int()>;

    // How long a table is written between two progress lines of the Lines style.
    static constexpr Clock::duration kProgressLineInterval = std::chrono::seconds(10);

    TerminalReporter(Style style, std::FILE* out, Now now = Clock::now, Columns columns = {});

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
    void DrawBar(Clock::time_point now);
    void PrintProgressLine(Clock::time_point now);
    void ClearBar();
    void PrintTableLine(bool completed);

    Style style_;
    std::FILE* out_;
    Now now_;
    Columns columns_;
    const Clock::time_point runStart_;
    std::string caption_;
    int checkedTables_ = 0;
    int filledTables_ = 0;
    std::int64_t maximum_ = 0;
    std::int64_t position_ = 0;
    std::int64_t totalRecords_ = 0;
    Clock::time_point tableStart_;
    Clock::duration tableTime_{};
    // The last drawing of the bar, or the last progress line (or the table's start).
    Clock::time_point lastDraw_;
    // Between WritingStarted and TableFinished: a table whose end gets its line.
    bool writing_ = false;
    bool barShown_ = false;
};

}  // namespace rowsmith
