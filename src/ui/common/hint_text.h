// Hint texts. A hint has a short part, shown as the tool tip, and a long part, shown in the status
// panel, separated by the first "|"; a hint without "|" serves as both. SetHint gives a control
// or an action its hint in that form, so that the hint router and Qt's tool tips find it.
#pragma once

#include <QString>

class QAction;
class QWidget;

namespace rowsmith {

// The dynamic property that holds a control's whole hint text.
inline constexpr const char* kHintProperty = "rowsmithHint";

QString ShortHint(const QString& hint);
QString LongHint(const QString& hint);

// The tool tip takes the short part (none when `showToolTip` is false), the status tip the long
// part.
void SetHint(QWidget* control, const QString& hint, bool showToolTip = true);
void SetHint(QAction* action, const QString& hint);

}  // namespace rowsmith
