#include "dialogs/about_box.h"

#include <QDesktopServices>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "common/tool_glyphs.h"
#include "dialogs/link_label.h"
#include "version/version_text.h"

namespace rowsmith {

namespace {

// Where the links start, from the text panel's left edge: the right half of the box.
constexpr int kLinkIndent = 77;

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    FormCreate();
}

void TAboutBox::FormCreate() {
    setWindowTitle("About");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    imgPicture = new QLabel(this);
    imgPicture->setObjectName("imgPicture");
    imgPicture->setAccessibleName("Rowsmith icon");
    imgPicture->setFixedWidth(65);
    // The icon keeps its shape: stretched to the panel's height it would read as another picture.
    imgPicture->setPixmap(ApplicationIcon().pixmap(48, 48));
    imgPicture->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    imgPicture->setContentsMargins(0, 12, 0, 0);

    btnOK = new QPushButton("OK", this);
    btnOK->setAccessibleName("OK");
    btnOK->setDefault(true);
    btnOK->setMinimumSize(75, 25);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(8, 3, 11, 3);
    bottom->addStretch();
    bottom->addWidget(btnOK);

    auto* upper = new QHBoxLayout;
    upper->setContentsMargins(0, 0, 0, 0);
    upper->addWidget(imgPicture);
    upper->addWidget(CreateTextPanel(), 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(upper, 1);
    layout->addLayout(bottom);
    setMinimumSize(356, 197);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* TAboutBox::CreateTextPanel() {
    auto* panel = new QWidget(this);

    lblProduct = new QLabel("Rowsmith", panel);
    lblProduct->setObjectName("lblProduct");
    QFont big = lblProduct->font();
    big.setPixelSize(24);
    big.setBold(true);
    lblProduct->setFont(big);
    // Colours from the palette, so that the title reads on light and dark themes alike.
    lblProduct->setForegroundRole(QPalette::Highlight);
    auto* shadow = new QGraphicsDropShadowEffect(lblProduct);
    shadow->setBlurRadius(0);
    shadow->setOffset(2, 2);
    shadow->setColor(lblProduct->palette().color(QPalette::Mid));
    lblProduct->setGraphicsEffect(shadow);

    lblVersion = new QLabel(
        QString("Version %1 (Build %2)")
            .arg(QString::fromStdString(VersionText()), QString::fromStdString(BuildText())),
        panel);
    lblVersion->setObjectName("lblVersion");
    lblVersion->setTextFormat(Qt::PlainText);

    lbWWW = new TLinkLabel(kWebAddress, panel);
    lbWWW->setObjectName("lbWWW");
    lbEMail = new TLinkLabel(kMailAddress, panel);
    lbEMail->setObjectName("lbEMail");
    connect(lbWWW, &TLinkLabel::clicked, this, &TAboutBox::lbWWWClick);
    connect(lbEMail, &TLinkLabel::clicked, this, &TAboutBox::lbWWWClick);

    lblNotice = new QLabel("Free software under the Apache License 2.0, without warranty.", panel);
    lblNotice->setObjectName("lblNotice");

    auto* links = new QVBoxLayout;
    links->setContentsMargins(kLinkIndent, 0, 0, 0);
    links->setSpacing(8);
    links->addWidget(lbWWW);
    links->addWidget(lbEMail);

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(13, 8, 11, 8);
    layout->addWidget(lblProduct);
    layout->addWidget(lblVersion);
    layout->addSpacing(12);
    layout->addLayout(links);
    layout->addSpacing(12);
    layout->addWidget(lblNotice);
    layout->addStretch();
    return panel;
}

void TAboutBox::lbWWWClick() {
    if (const auto* label = qobject_cast<const QLabel*>(sender())) {
        QDesktopServices::openUrl(QUrl(label->text()));
    }
}

}  // namespace rowsmith
