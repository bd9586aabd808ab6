// THintRouter: keeps the application hint, the long part of the hint of what the user points at,
// and reports every change through HintChanged. A control under the mouse pointer gives the hint
// of itself or of its nearest enclosing control that has one (none: the empty text); a menu item
// gives its own while highlighted, and closing the menu clears it. One router serves every window
// of the application; the main window creates it and shows its hint in the status panel.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QMenu;
class QMenuBar;
class QWidget;

namespace rowsmith {

class THintRouter : public QObject {
    Q_OBJECT

public:
    // Watches the whole application for the mouse entering and leaving controls.
    explicit THintRouter(QObject* parent = nullptr);
    ~THintRouter() override;

    const QString& Hint() const { return hint_; }

    // The highlighted item of `menu` or `bar` sets the hint (its status tip).
    void Track(QMenu* menu);
    void Track(QMenuBar* bar);

signals:
    void HintChanged(const QString& hint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PointAt(QWidget* control);
    void SetApplicationHint(const QString& hint);
    static QString HintOf(const QWidget* control);

    QPointer<QWidget> pointed_;
    QString hint_;
};

}  // namespace rowsmith
