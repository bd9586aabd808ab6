#include "main/status_progress.h"

#include <QProgressBar>
#include <QString>
#include <algorithm>
#include <limits>

#include "main/status_panel.h"

namespace rowsmith {

StatusProgress::StatusProgress(TStatusPanel& panel) : panel_(panel), bar_(*panel.ProgressBar()) {}

void StatusProgress::SetStatus(const std::string& caption, bool repaintNow) {
    panel_.SetCaption(QString::fromStdString(caption));
    if (repaintNow) {
        // The fill that follows runs without returning to the event loop.
        panel_.repaint();
    }
}

void StatusProgress::SetProgressRange(std::int64_t maximum) {
    constexpr std::int64_t kBarLimit = std::numeric_limits<int>::max();
    maximum_ = std::max<std::int64_t>(maximum, 0);
    recordsPerUnit_ = maximum_ / kBarLimit + 1;
    bar_.setMaximum(static_cast<int>(maximum_ / recordsPerUnit_));
    ShowPosition();
}

void StatusProgress::SetProgressPosition(std::int64_t position) {
    position_ = position;
    ShowPosition();
}

void StatusProgress::ShowProgress(bool visible) {
    bar_.setVisible(visible);
}

void StatusProgress::StepProgress() {
    ++position_;
    ShowPosition();
}

void StatusProgress::SetBusy(bool busy) {
    if (!busy) {
        busy_.reset();
    } else if (!busy_) {
        busy_.emplace();
    }
}

void StatusProgress::ShowPosition() {
    const std::int64_t shown = std::clamp<std::int64_t>(position_, 0, maximum_);
    bar_.setValue(static_cast<int>(shown / recordsPerUnit_));
}

}  // namespace rowsmith
