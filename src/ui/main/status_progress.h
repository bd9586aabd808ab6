// StatusProgress: the window's listener of a fill run. It shows the table being worked on in the
// status panel, drives the panel's progress bar and holds the busy cursor while the fill engine
// asks for it.
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

    void SetStatus(const std::string& caption, bool repaintNow) override;
    void SetProgressRange(std::int64_t maximum) override;
    void SetProgressPosition(std::int64_t position) override;
    void ShowProgress(bool visible) override;
    void StepProgress() override;
    void SetBusy(bool busy) override;

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
