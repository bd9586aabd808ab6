// FillReporter: how the fill engine shows its work to whoever runs it. The window implements it
// with its status panel, progress bar and busy cursor; rowsmith-fill with a line on standard
// error. The engine does not know who listens.
#pragma once

#include <cstdint>
#include <string>

namespace rowsmith {

class FillReporter {
public:
    virtual ~FillReporter() = default;

    // The status caption: the table being checked or filled. `repaintNow` asks for the caption to
    // be drawn at once, before the table is filled.
    virtual void SetStatus(const std::string& caption, bool repaintNow) = 0;

    // The progress bar: range 0..maximum (never negative: the engine refuses that first), shown
    // only while a table is filled.
    virtual void SetProgressRange(std::int64_t maximum) = 0;
    virtual void SetProgressPosition(std::int64_t position) = 0;
    virtual void ShowProgress(bool visible) = 0;
    virtual void StepProgress() = 0;

    // The busy (hourglass) cursor on or off.
    virtual void SetBusy(bool busy) = 0;
};

}  // namespace rowsmith
