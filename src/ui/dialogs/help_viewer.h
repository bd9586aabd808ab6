// THelpViewer: the in-app help, a window that shows the program's HTML help pages and follows the
// links between them, with Contents, Back and Forward buttons. When the help file cannot be
// found, the viewer says so in its own window.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace rowsmith {

class THelpViewer : public QWidget {
    Q_OBJECT

public:
    // A window of its own, owned by `parent` (which may be null).
    explicit THelpViewer(QWidget* parent = nullptr);

    // Shows the page `fileName` (the contents page), with an empty history.
    void ShowHelpFile(const QString& fileName);

    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
    QToolButton* contents_;
    QToolButton* back_;
    QToolButton* forward_;
    QString helpFile_;
};

}  // namespace rowsmith
