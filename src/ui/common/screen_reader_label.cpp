#include "common/screen_reader_label.h"

#include <QLabel>

namespace rowsmith {

void NameForScreenReaders(QWidget& control, const QString& name) {
    control.setAccessibleName(name);
    auto* label = new QLabel(name, control.parentWidget());
    label->setBuddy(&control);
    label->hide();
}

}  // namespace rowsmith
