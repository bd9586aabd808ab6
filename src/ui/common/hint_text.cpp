#include "common/hint_text.h"

#include <QAction>
#include <QWidget>

namespace rowsmith {

QString ShortHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

QString LongHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void SetHint(QWidget* control, const QString& hint, bool showToolTip) {
    control->setToolTip(showToolTip ? ShortHint(hint) : QString());
    control->setStatusTip(LongHint(hint));
    // Set last: the property change tells the hint router to look at the control again.
    control->setProperty(kHintProperty, hint);
}

void SetHint(QAction* action, const QString& hint) {
    action->setToolTip(ShortHint(hint));
    action->setStatusTip(LongHint(hint));
}

}  // namespace rowsmith
