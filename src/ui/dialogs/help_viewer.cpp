#include "dialogs/help_viewer.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace rowsmith {

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 520;

QToolButton* AddButton(QHBoxLayout* row, const QString& caption, const QIcon& icon) {
    auto* button = new QToolButton;
    button->setText(caption);
    button->setIcon(icon);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    row->addWidget(button);
    return button;
}

}  // namespace

THelpViewer::THelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("HelpViewer");
    setWindowTitle("Rowsmith Help");
    resize(kWidth, kHeight);

    auto* buttons = new QHBoxLayout;
    contents_ = AddButton(buttons, "Contents", style()->standardIcon(QStyle::SP_DirHomeIcon));
    back_ = AddButton(buttons, "Back", style()->standardIcon(QStyle::SP_ArrowBack));
    forward_ = AddButton(buttons, "Forward", style()->standardIcon(QStyle::SP_ArrowForward));
    buttons->addStretch(1);

    browser_ = new QTextBrowser;
    browser_->setOpenExternalLinks(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);

    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(contents_, &QToolButton::clicked, this, [this] { ShowHelpFile(helpFile_); });
}

void THelpViewer::ShowHelpFile(const QString& fileName) {
    const QFileInfo file(fileName);
    helpFile_ = fileName;
    contents_->setEnabled(file.isFile());
    if (file.isFile()) {
        browser_->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    } else {
        browser_->setHtml("<h3>Help is not available</h3><p>Cannot find the help file " +
                          fileName.toHtmlEscaped() + ".</p>");
    }
    browser_->clearHistory();
}

}  // namespace rowsmith
