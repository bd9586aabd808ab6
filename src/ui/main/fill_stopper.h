// TFillStopper: the window's side of a running fill. While it lives the given controls (the
// menus, the tool bar, the settings) are disabled, since a command would reach a scenario in the
// middle of its fill; the fill's listener keeps the window painting; and Esc, or closing the
// window, asks "Stop filling? The records written so far are kept." — Yes asks the engine to stop
// at the next record boundary. Everything is restored when it goes, on every way out.
#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

class QWidget;

namespace rowsmith {

class FillEngine;
class StatusProgress;

class TFillStopper : public QObject {
    Q_OBJECT

public:
    TFillStopper(QWidget& window, std::vector<QWidget*> controls, StatusProgress& progress,
                 FillEngine& engine);
    ~TFillStopper() override;
    TFillStopper(const TFillStopper&) = delete;
    TFillStopper& operator=(const TFillStopper&) = delete;

    static constexpr const char* kStopQuestion =
        "Stop filling? The records written so far are kept.";

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AskToStop();

    QWidget& window_;
    std::vector<QPointer<QWidget>> controls_;
    StatusProgress& progress_;
    FillEngine& engine_;
    bool asking_ = false;
};

}  // namespace rowsmith
