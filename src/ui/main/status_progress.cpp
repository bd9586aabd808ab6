#include "main/status_progress.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QString>
#include <algorithm>
#include <limits>

#include "fill/fill_summary.h"
#include "main/status_panel.h"

namespace rowsmith {

namespace {

// Often enough for painting and keys to feel immediate, rare enough to cost the fill nothing.
constexpr auto kEventInterval = std::chrono::milliseconds(50);
// Looking at the clock on every record would cost more than the record.
constexpr std::int64_t kRecordsBetweenClockReads = 64;

}  // namespace

StatusProgress::StatusProgress(TStatusPanel& panel) : panel_(panel), bar_(*panel.ProgressBar()) {}

void StatusProgress::StartRun() {
    running_ = true;
    runStart_ = std::chrono::steady_clock::now();
    tableName_.clear();
    filledTables_ = 0;
    filledRecords_ = 0;
}

QString StatusProgress::FinishRun(bool completed) {
    running_ = false;
    if (completed) {
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - runStart_;
        return QString::fromStdString(FillSummary(filledTables_, filledRecords_, seconds.count()));
    }
    if (tableName_.empty()) {
        return QString();
    }
    return QString::fromStdString(StoppedFillSummary(tableName_, filledTables_, filledRecords_));
}

void StatusProgress::TableStarted(const std::string& tableName, TableWork work) {
    panel_.SetCaption(QString::fromStdString(tableName));
    tableName_ = tableName;
    if (work == TableWork::Fill) {
        // The fill that follows runs without returning to the event loop.
        panel_.repaint();
    }
}

void StatusProgress::WritingStarted(std::int64_t records) {
    constexpr std::int64_t kBarLimit = std::numeric_limits<int>::max();
    maximum_ = std::max<std::int64_t>(records, 0);
    recordsPerUnit_ = maximum_ / kBarLimit + 1;
    position_ = 0;
    writing_ = true;
    bar_.setMaximum(static_cast<int>(maximum_ / recordsPerUnit_));
    ShowPosition();
    bar_.setVisible(true);
    if (!busy_) {
        busy_.emplace();
    }
}

void StatusProgress::RecordsWritten(std::int64_t written) {
    position_ = written;
    ShowPosition();
    if (responsive_ && written % kRecordsBetweenClockReads == 0) {
        HandleEvents();
    }
}

void StatusProgress::HandleEvents() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastEvents_ >= kEventInterval) {
        lastEvents_ = now;
        QCoreApplication::processEvents();
    }
}

void StatusProgress::TableFinished(bool completed) {
    // As the command line counts: a table whose records were written to the end, all of them.
    if (writing_ && completed) {
        ++filledTables_;
        filledRecords_ += maximum_;
    }
    writing_ = false;
    busy_.reset();
    bar_.setVisible(false);
}

void StatusProgress::ShowPosition() {
    const std::int64_t shown = std::clamp<std::int64_t>(position_, 0, maximum_);
    bar_.setValue(static_cast<int>(shown / recordsPerUnit_));
}

}  // namespace rowsmith
