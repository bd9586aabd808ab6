#include "cli/terminal_reporter.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "fill/fill_summary.h"
#include "text/printable.h"

namespace rowsmith {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
// Looking at the clock on every record would cost more than the record.
constexpr std::int64_t kStepsBetweenClockReads = 64;
constexpr int kBarWidth = 30;
constexpr int kNarrowestBar = 10;
// A terminal that cannot tell its width is taken to have the classic one.
constexpr int kDefaultColumns = 80;

int ColumnsOf(std::FILE* out) {
    winsize size{};
    if (ioctl(fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 0;
}

// The first `columns` characters of `text`, a UTF-8 sequence kept whole.
std::string FirstColumns(const std::string& text, int columns) {
    std::size_t end = 0;
    for (int taken = 0; end < text.size(); ++end) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && taken++ == columns) {
            break;
        }
    }
    return text.substr(0, end);
}

double Seconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

}  // namespace

TerminalReporter::TerminalReporter(Style style, std::FILE* out, Now now, Columns columns)
    : style_(style),
      out_(out),
      now_(std::move(now)),
      columns_(columns ? std::move(columns) : Columns([out] { return ColumnsOf(out); })),
      runStart_(now_()) {}

void TerminalReporter::TableStarted(const std::string& tableName, TableWork work) {
    // A table name may hold bytes that would garble the line or move the terminal's cursor.
    caption_ = PrintableText(tableName);
    if (work == TableWork::Fill) {
        ++filledTables_;
    } else {
        ++checkedTables_;
    }
}

void TerminalReporter::WritingStarted(std::int64_t records) {
    maximum_ = records;
    position_ = 0;
    writing_ = true;
    tableStart_ = now_();
    lastDraw_ = tableStart_;
    if (style_ == Style::ProgressBar) {
        DrawBar(tableStart_);
    }
}

void TerminalReporter::RecordsWritten(std::int64_t written) {
    position_ = written;
    if (style_ == Style::Quiet || position_ % kStepsBetweenClockReads != 0) {
        return;
    }
    const Clock::time_point now = now_();
    if (style_ == Style::ProgressBar && now - lastDraw_ >= kRedrawInterval) {
        DrawBar(now);
    } else if (style_ == Style::Lines && now - lastDraw_ >= kProgressLineInterval &&
               position_ < maximum_) {
        // The last record's line is the table's own.
        PrintProgressLine(now);
    }
}

// A table gets its line once its records were being written: a check, or a fill stopped before
// its first record, prints none.
void TerminalReporter::TableFinished(bool completed) {
    if (!writing_) {
        return;
    }
    writing_ = false;
    tableTime_ = now_() - tableStart_;
    ClearBar();
    PrintTableLine(completed);
}

void TerminalReporter::DrawBar(Clock::time_point now) {
    lastDraw_ = now;
    barShown_ = true;
    const double fraction =
        maximum_ > 0 ? static_cast<double>(position_) / static_cast<double>(maximum_) : 1.0;
    char counts[96];
    std::snprintf(counts, sizeof counts, "] %3d%% %lld/%lld", static_cast<int>(fraction * 100),
                  static_cast<long long>(position_), static_cast<long long>(maximum_));
    std::string tail = counts;
    const double elapsed = Seconds(now - tableStart_);
    if (elapsed > 0.05) {
        char rate[48];
        std::snprintf(rate, sizeof rate, "  %.0f records/s",
                      static_cast<double>(position_) / elapsed);
        tail += rate;
    }
    // The line keeps off the last column, so that it never wraps onto a second line that the
    // next drawing could not take back; the bar gives way first, then the line's end.
    const int asked = columns_();
    const int columns = asked > 0 ? asked : kDefaultColumns;
    const int room = columns - 1 - static_cast<int>(ScreenColumns(caption_)) - 2 -
                     static_cast<int>(ScreenColumns(tail));
    const int barWidth = std::clamp(room, kNarrowestBar, kBarWidth);
    const int filled = static_cast<int>(fraction * barWidth);
    std::string bar(static_cast<std::size_t>(barWidth), ' ');
    bar.replace(0, static_cast<std::size_t>(filled), static_cast<std::size_t>(filled), '#');
    const std::string line = FirstColumns(caption_ + " [" + bar + tail, columns - 1);
    // Erase what a longer earlier drawing left at the end of the line.
    std::fprintf(out_, "\r%s\033[K", line.c_str());
    std::fflush(out_);
}

void TerminalReporter::PrintProgressLine(Clock::time_point now) {
    lastDraw_ = now;
    std::fprintf(out_, "%s: %lld of %lld records so far (%.0f records/s)\n", caption_.c_str(),
                 static_cast<long long>(position_), static_cast<long long>(maximum_),
                 static_cast<double>(position_) / Seconds(now - tableStart_));
    std::fflush(out_);
}

void TerminalReporter::ClearBar() {
    if (barShown_) {
        std::fputs("\r\033[K", out_);
        barShown_ = false;
    }
}

void TerminalReporter::PrintTableLine(bool completed) {
    if (style_ == Style::Quiet) {
        return;
    }
    if (!completed) {
        // How many records stayed is the database's to say: a server that takes records in
        // batches finds a failure only when it receives them. Why it stopped (an error, a stop
        // request) is the last line's to say.
        std::fprintf(out_, "%s: stopped\n", caption_.c_str());
        std::fflush(out_);
        return;
    }
    // The last pass of an update of existing records ends the walk without a step.
    const std::int64_t records = maximum_;
    totalRecords_ += records;
    const double seconds = Seconds(tableTime_);
    std::fprintf(out_, "%s: %lld records in %.2f s", caption_.c_str(),
                 static_cast<long long>(records), seconds);
    if (records > 0 && seconds > 0.001) {
        std::fprintf(out_, " (%.0f records/s)", static_cast<double>(records) / seconds);
    }
    std::fputc('\n', out_);
    std::fflush(out_);
}

void TerminalReporter::FinishFill() {
    if (style_ == Style::Quiet) {
        return;
    }
    std::fprintf(out_, "%s\n",
                 FillSummary(filledTables_, totalRecords_, Seconds(now_() - runStart_)).c_str());
}

void TerminalReporter::FinishDryRun() {
    if (style_ == Style::Quiet) {
        return;
    }
    std::fprintf(out_,
                 "Dry run: %d %s would get %lld records (%.2f s); every write was rolled back\n",
                 filledTables_, filledTables_ == 1 ? "table" : "tables",
                 static_cast<long long>(totalRecords_), Seconds(now_() - runStart_));
}

void TerminalReporter::FinishCheck() {
    if (style_ == Style::Quiet) {
        return;
    }
    std::fprintf(out_, "Checked %d %s: every fill value is valid\n", checkedTables_,
                 checkedTables_ == 1 ? "table" : "tables");
}

}  // namespace rowsmith
