#include "common/fit_to_screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace rowsmith {

namespace {

// What the window manager adds around a window: the borders and the title bar.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 40;

QScreen* ScreenOf(const QWidget& window) {
    if (const QWidget* parent = window.parentWidget()) {
        return parent->window()->screen();
    }
    if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) {
        return screen;
    }
    return QGuiApplication::primaryScreen();
}

}  // namespace

void FitToScreen(QWidget& window) {
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr) {
        return;
    }
    const QSize room = screen->availableGeometry().size() - QSize(kFrameWidth, kFrameHeight);
    const QSize wanted = window.testAttribute(Qt::WA_Resized) ? window.size() : window.sizeHint();
    if (wanted.width() > room.width() || wanted.height() > room.height()) {
        window.resize(wanted.boundedTo(room).expandedTo(window.minimumSize()));
    }
}

}  // namespace rowsmith
