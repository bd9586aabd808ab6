#include "main/fill_stopper.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "common/message_boxes.h"
#include "fill/fill_engine.h"
#include "main/status_progress.h"

namespace rowsmith {

TFillStopper::TFillStopper(QWidget& window, std::vector<QWidget*> controls,
                           StatusProgress& progress, FillEngine& engine)
    : window_(window), progress_(progress), engine_(engine) {
    for (QWidget* control : controls) {
        if (control->isEnabled()) {
            control->setEnabled(false);
            controls_.emplace_back(control);
        }
    }
    qApp->installEventFilter(this);
    progress_.KeepWindowResponsive(true);
}

TFillStopper::~TFillStopper() {
    progress_.KeepWindowResponsive(false);
    qApp->removeEventFilter(this);
    for (const QPointer<QWidget>& control : controls_) {
        if (control) {
            control->setEnabled(true);
        }
    }
}

bool TFillStopper::eventFilter(QObject* watched, QEvent* event) {
    const bool esc = event->type() == QEvent::KeyPress &&
                     static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    const bool closing = event->type() == QEvent::Close && watched == &window_;
    if ((esc || closing) && !asking_) {
        AskToStop();
        // The window stays open until the fill has ended.
        if (closing) {
            event->ignore();
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TFillStopper::AskToStop() {
    asking_ = true;
    const bool stop = AskYesNo(kStopQuestion);
    asking_ = false;
    if (stop) {
        engine_.RequestStop();
    }
}

}  // namespace rowsmith
