// StatusProgress: the window's listener of a fill run. It shows the table being worked on in the
// status panel, and while a table's records are written the panel's progress bar and the busy
// cursor. While the window asks it to, it also lets the window handle its events a few times a
// second, so that it keeps painting and hears Esc during a fill. Over a whole fill run it counts
// the tables and records, for the words that close the run.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include <QString>

#include "fill/fill_reporter.h"
#include "main/busy_cursor.h"

class QProgressBar;

namespace rowsmith {

class TStatusPanel;

class StatusProgress : public FillReporter {
public:
    explicit StatusProgress(TStatusPanel& panel);

    void TableStarted(const std::string& tableName, TableWork work) override;
    void WritingStarted(std::int64_t records) override;
    void RecordsWritten(std::int64_t written) override;
    void TableFinished(bool completed) override;

    // A fill run begins: the counts start over.
    void StartRun();
    // Between StartRun and FinishRun.
    bool Running() const { return running_; }
    // The fill run ended, completed or stopped by an error: what it did, in the command line's
    // words, or nothing when it stopped before its first table.
    QString FinishRun(bool completed);

    // On: the window's events are handled between records. The window blocks its commands for
    // that time, since they would reach a scenario in the middle of its fill.
    void KeepWindowResponsive(bool on) { responsive_ = on; }

private:
    void ShowPosition();
    // Handles the window's events when the last time is long enough ago.
    void HandleEvents();

    TStatusPanel& panel_;
    QProgressBar& bar_;
    std::int64_t maximum_ = 100;
    std::int64_t position_ = 0;
    // The bar counts in int: a range past its limit is shown in units of this many records.
    std::int64_t recordsPerUnit_ = 1;
    std::optional<TBusyCursor> busy_;
    bool responsive_ = false;
    std::chrono::steady_clock::time_point lastEvents_;

    bool running_ = false;
    std::chrono::steady_clock::time_point runStart_;
    std::string tableName_;
    bool writing_ = false;
    int filledTables_ = 0;
    std::int64_t filledRecords_ = 0;
};

}  // namespace rowsmith
