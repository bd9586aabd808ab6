#include "main/status_panel.h"

#include <qdrawutil.h>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>

namespace rowsmith {

namespace {

constexpr int kMinimumHeight = 16;
// The progress bar starts this far in, past the table name that the caption shows beside it.
constexpr int kProgressLeft = 143;
constexpr int kProgressWidth = 290;
constexpr int kProgressHeight = 8;
constexpr int kBevel = 1;

}  // namespace

TStatusPanel::TStatusPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("StatusBar");
    setAccessibleName("Status");
    setMinimumHeight(kMinimumHeight);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    caption_ = new QLabel(this);
    // Table names are shown as they are, never read as markup.
    caption_->setTextFormat(Qt::PlainText);
    QFont bold = caption_->font();
    bold.setBold(true);
    caption_->setFont(bold);
    caption_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A long hint is cut at the panel's edge rather than widening the window.
    caption_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName("PrgsBar");
    progressBar_->setRange(0, 100);
    progressBar_->setTextVisible(false);
    progressBar_->setFixedSize(kProgressWidth, kProgressHeight);
    progressBar_->hide();

    // The bar lies over the caption's cell, as the caption spans the whole panel.
    auto* barRow = new QHBoxLayout;
    barRow->setContentsMargins(0, 0, 0, 0);
    barRow->addSpacing(kProgressLeft - kBevel - 1);
    barRow->addWidget(progressBar_, 0, Qt::AlignVCenter);
    barRow->addStretch(1);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(kBevel + 1, kBevel + 1, kBevel + 1, kBevel + 1);
    layout->addWidget(caption_, 0, 0);
    layout->addLayout(barRow, 0, 0);
}

QString TStatusPanel::Caption() const {
    return caption_->text();
}

void TStatusPanel::SetCaption(const QString& caption) {
    caption_->setText(caption);
}

void TStatusPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    qDrawShadePanel(&painter, rect(), palette(), true, kBevel);
}

}  // namespace rowsmith
