#include "dialogs/dlg_pattern_editor.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>

#include "dialogs/dialog_parts.h"
#include "text/errors.h"

namespace rowsmith {

namespace {

constexpr int kPatternWidth = 420;
constexpr int kSamplesHeight = 110;

const char* const kPlaceholders =
    "#  a digit\n"
    "?  an upper-case letter\n"
    "*  an upper-case letter or a digit\n"
    "\\c  the character c as it is\n"
    "{library}  a value from that library\n"
    "{Column}  the value this record writes to that column\n"
    "{Name|lower|upper|ascii|first}  the value changed, left to right";

}  // namespace

TdlgPatternEditor::TdlgPatternEditor(const ValueSources& sources, const std::string& fieldName,
                                     QWidget* parent)
    : QDialog(parent),
      sampler_(sources, fieldName),
      seed_(static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch())) {
    setObjectName("dlgPatternEditor");
    setWindowTitle("Text Pattern");

    edPattern = new QLineEdit;
    edPattern->setObjectName("edPattern");
    edPattern->setAccessibleName("Pattern");
    edPattern->setMinimumWidth(kPatternWidth);

    lblPlaceholders = new QLabel(kPlaceholders);
    lblPlaceholders->setObjectName("lblPlaceholders");
    lblPlaceholders->setTextFormat(Qt::PlainText);
    lblPlaceholders->setTextInteractionFlags(Qt::TextSelectableByMouse);

    lbSamples = MakeNamedList("lbSamples", "Samples", kPatternWidth, kSamplesHeight);
    lbSamples->setFocusPolicy(Qt::NoFocus);
    lblRefusal = new QLabel;
    lblRefusal->setObjectName("lblRefusal");
    lblRefusal->setWordWrap(true);
    lblRefusal->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblRefusal->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pgSamples = new QStackedWidget;
    pgSamples->addWidget(lbSamples);
    pgSamples->addWidget(lblRefusal);

    lblUnresolved = new QLabel;
    lblUnresolved->setObjectName("lblUnresolved");
    lblUnresolved->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(MakeBuddyLabel("&Pattern:", edPattern), edPattern);
    form->addRow(new QLabel("Placeholders:"), lblPlaceholders);
    form->addRow(MakeBuddyLabel("&Samples:", lbSamples), pgSamples);
    form->addRow(QString(), lblUnresolved);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addLayout(MakeOkCancelRow(*this, btnOK, btnCancel, Qt::Horizontal));
    setTabOrder(edPattern, btnOK);
    setTabOrder(btnOK, btnCancel);

    connect(edPattern, &QLineEdit::textChanged, this, &TdlgPatternEditor::edPatternChange);
    edPatternChange();
}

void TdlgPatternEditor::SetPattern(const std::string& pattern) {
    edPattern->setText(QString::fromStdString(pattern));
    edPatternChange();
}

std::string TdlgPatternEditor::Pattern() const {
    return edPattern->text().toStdString();
}

void TdlgPatternEditor::SetSeed(std::uint32_t seed) {
    seed_ = seed;
    edPatternChange();
}

void TdlgPatternEditor::edPatternChange() {
    const std::string pattern = Pattern();
    std::string refusal;
    std::vector<std::string> samples;
    try {
        refusal = sampler_.Refusal(pattern);
        if (refusal.empty()) {
            RandomSource random;
            random.SetRandomSeed(seed_);
            samples = sampler_.Samples(pattern, kSamples, random);
        }
    } catch (const Exception& error) {
        // What the draw raises is shown where the samples would be, as a refusal is.
        refusal = error.what();
    }
    btnOK->setEnabled(refusal.empty());
    lbSamples->clear();
    lblUnresolved->clear();
    if (!refusal.empty()) {
        lblRefusal->setText(QString::fromStdString(refusal));
        pgSamples->setCurrentWidget(lblRefusal);
        return;
    }
    for (const std::string& sample : samples) {
        lbSamples->addItem(QString::fromStdString(sample));
    }
    pgSamples->setCurrentWidget(lbSamples);
    if (!sampler_.Unresolved().empty()) {
        QStringList names;
        for (const std::string& name : sampler_.Unresolved()) {
            names << "[" + QString::fromStdString(name) + "]";
        }
        lblUnresolved->setText(names.join(", ") +
                               ": made as the table is filled, shown here by name");
    }
}

}  // namespace rowsmith
