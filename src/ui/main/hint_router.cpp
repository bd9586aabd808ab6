#include "main/hint_router.h"

#include <QAction>
#include <QApplication>
#include <QDynamicPropertyChangeEvent>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "common/hint_text.h"

namespace rowsmith {

THintRouter::THintRouter(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

THintRouter::~THintRouter() {
    qApp->removeEventFilter(this);
}

void THintRouter::Track(QMenu* menu) {
    connect(menu, &QMenu::hovered, this,
            [this](QAction* item) { SetApplicationHint(item->statusTip()); });
    connect(menu, &QMenu::aboutToHide, this, [this] { SetApplicationHint(QString()); });
}

void THintRouter::Track(QMenuBar* bar) {
    connect(bar, &QMenuBar::hovered, this,
            [this](QAction* item) { SetApplicationHint(item->statusTip()); });
}

bool THintRouter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Enter && type != QEvent::Leave && type != QEvent::DynamicPropertyChange) {
        return false;
    }
    auto* control = qobject_cast<QWidget*>(watched);
    if (control == nullptr) {
        return false;
    }
    if (qobject_cast<QMenu*>(control) != nullptr) {
        // A menu speaks through its highlighted item; outside its items nothing is highlighted.
        if (type == QEvent::Leave) {
            SetApplicationHint(QString());
        }
        return false;
    }
    switch (type) {
        case QEvent::Enter:
            PointAt(control);
            break;
        case QEvent::Leave:
            // Leaving a control moves the pointer into its parent, unless a sibling's Enter
            // follows.
            PointAt(control->isWindow() ? nullptr : control->parentWidget());
            break;
        default: {
            // A new hint on the control pointed at, or on one enclosing it, shows at once.
            const auto* change = static_cast<QDynamicPropertyChangeEvent*>(event);
            if (change->propertyName() == kHintProperty && pointed_ != nullptr &&
                (pointed_ == control || control->isAncestorOf(pointed_))) {
                PointAt(pointed_);
            }
            break;
        }
    }
    return false;
}

void THintRouter::PointAt(QWidget* control) {
    pointed_ = control;
    SetApplicationHint(HintOf(control));
}

QString THintRouter::HintOf(const QWidget* control) {
    for (const QWidget* w = control; w != nullptr; w = w->parentWidget()) {
        const QString hint = w->property(kHintProperty).toString();
        if (!hint.isEmpty()) {
            return LongHint(hint);
        }
        if (!w->statusTip().isEmpty()) {
            return w->statusTip();
        }
        if (w->isWindow()) {
            break;
        }
    }
    return QString();
}

void THintRouter::SetApplicationHint(const QString& hint) {
    if (hint == hint_) {
        return;
    }
    hint_ = hint;
    emit HintChanged(hint_);
}

}  // namespace rowsmith
