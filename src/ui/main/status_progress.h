// StatusProgress: the window's listener of a fill run. It shows the table being worked on in the
// status panel, and while a table's records are written the panel's progress bar and the busy
// cursor.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

private:
    void ShowPosition();

    TStatusPanel& panel_;
    QProgressBar& bar_;
    std::int64_t maximum_ = 100;
    std::int64_t position_ = 0;
    // The bar counts in int: a range past its limit is shown in units of this many records.
    std::int64_t recordsPerUnit_ = 1;
    std::optional<TBusyCursor> busy_;
};

}  // namespace rowsmith
