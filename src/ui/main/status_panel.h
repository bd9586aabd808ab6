// TStatusPanel: the strip along the foot of the main window, with a lowered bevel. It shows one
// bold caption (the current long hint, or the table being checked or filled) and holds the progress
// bar of a fill run, which is hidden while no table is being filled.
#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace rowsmith {

class TStatusPanel : public QWidget {
    Q_OBJECT

public:
    explicit TStatusPanel(QWidget* parent = nullptr);

    QString Caption() const;
    void SetCaption(const QString& caption);

    QProgressBar* ProgressBar() const { return progressBar_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* caption_;
    QProgressBar* progressBar_;
};

}  // namespace rowsmith
