#include "main/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace rowsmith {

TBusyCursor::TBusyCursor() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

TBusyCursor::~TBusyCursor() {
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace rowsmith
