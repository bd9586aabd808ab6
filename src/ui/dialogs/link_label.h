// TLinkLabel: a label that reads as a link (link colour, underlined, hand cursor) and reports a
// click with the left button, or Space or Enter while it has the focus.
#pragma once

#include <QLabel>

namespace rowsmith {

class TLinkLabel : public QLabel {
    Q_OBJECT

public:
    explicit TLinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace rowsmith
