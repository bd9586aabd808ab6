#include "dialogs/dlg_date_range.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

#include "dialogs/dialog_parts.h"
#include "text/date_bounds.h"

namespace rowsmith {

namespace {

constexpr int kPickerWidth = 190;
// Characters of the longest relative range with its text.
constexpr int kRelativeChars = 38;

// What cbRelative offers after its first entry, "Between the dates below".
constexpr const char* kRelativeRanges[][2] = {
    {"The last 7 days", "today-7d - today"}, {"The last 30 days", "today-30d - today"},
    {"The last year", "today-1y - today"},   {"The next 30 days", "today - today+30d"},
    {"The last 24 hours", "now-24h - now"},  {"The last hour", "now-1h - now"},
};

const QString kDateForm = QStringLiteral("yyyy-MM-dd");
const QString kTimeForm = QStringLiteral("HH:mm:ss");
const QString kDateTimeForm = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QDateTimeEdit* MakePicker(const char* name, const QString& accessibleName) {
    auto* picker = new QDateTimeEdit;
    picker->setObjectName(name);
    picker->setAccessibleName(accessibleName);
    picker->setCalendarPopup(true);
    picker->setMinimumWidth(kPickerWidth);
    return picker;
}

QDateTime ToQt(const DateTimeValue& value) {
    const CivilDate date = CivilFromDays(value.day);
    const auto seconds = static_cast<int>(value.nanosecond / kNanosPerSecond);
    return QDateTime(QDate(date.year, date.month, date.day),
                     QTime(seconds / 3600, seconds / 60 % 60, seconds % 60));
}

}  // namespace

TdlgDateRange::TdlgDateRange(QWidget* parent) : QDialog(parent), format_(kDateTimeForm) {
    setObjectName("dlgDateRange");
    setWindowTitle("Date Range");

    cbRelative = MakeNamedCombo("cbRelative", "Range", kPickerWidth);
    // The ranges are read whole, with their text.
    cbRelative->setMinimumContentsLength(kRelativeChars);
    cbRelative->addItem("Between the dates below");
    for (const auto& range : kRelativeRanges) {
        cbRelative->addItem(QString("%1 (%2)").arg(range[0], range[1]), QString(range[1]));
    }
    dtFrom = MakePicker("dtFrom", "From");
    dtTo = MakePicker("dtTo", "To");
    const QDate today = QDate::currentDate();
    dtFrom->setDateTime(QDateTime(today.addYears(-1), QTime(0, 0)));
    dtTo->setDateTime(QDateTime(today, QTime(0, 0)));

    auto* form = new QFormLayout;
    form->addRow(MakeBuddyLabel("&Range:", cbRelative), cbRelative);
    form->addRow(MakeBuddyLabel("&From:", dtFrom), dtFrom);
    form->addRow(MakeBuddyLabel("&To:", dtTo), dtTo);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addLayout(MakeOkCancelRow(*this, btnOK, btnCancel, Qt::Horizontal));
    setTabOrder(cbRelative, dtFrom);
    setTabOrder(dtFrom, dtTo);
    setTabOrder(dtTo, btnOK);
    setTabOrder(btnOK, btnCancel);

    connect(cbRelative, &QComboBox::currentIndexChanged, this, [this] { cbRelativeChange(); });
    SetColumnType(ftDateTime);
}

void TdlgDateRange::SetColumnType(TFieldType type) {
    format_ = type == ftDate ? kDateForm : type == ftTime ? kTimeForm : kDateTimeForm;
    for (QDateTimeEdit* picker : {dtFrom, dtTo}) {
        picker->setDisplayFormat(format_);
        // A format of times alone keeps the picker to one day; the others take every date.
        if (type != ftTime) {
            picker->setDateTimeRange(QDateTime(QDate(1, 1, 1), QTime(0, 0)),
                                     QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)));
        }
        // A time of day has no calendar to pop up.
        picker->setCalendarPopup(type != ftTime);
    }
    // "today" and "now" are no times of day.
    cbRelative->setCurrentIndex(0);
    cbRelative->setEnabled(type != ftTime);
}

void TdlgDateRange::SetRange(const std::string& value) {
    const int relative = cbRelative->findData(QString::fromStdString(value));
    if (relative > 0 && cbRelative->isEnabled()) {
        cbRelative->setCurrentIndex(relative);
        return;
    }
    cbRelative->setCurrentIndex(0);
    DateRangeText range;
    std::string bad;
    if (!ParseDateRange(value, range, bad) || range.low.anchor != DateBound::Anchor::Fixed ||
        range.high.anchor != DateBound::Anchor::Fixed) {
        return;
    }
    dtFrom->setDateTime(ToQt(range.low.value));
    dtTo->setDateTime(ToQt(range.high.value));
}

std::string TdlgDateRange::RangeText() const {
    if (cbRelative->currentIndex() > 0) {
        return cbRelative->currentData().toString().toStdString();
    }
    return (dtFrom->dateTime().toString(format_) + " - " + dtTo->dateTime().toString(format_))
        .toStdString();
}

void TdlgDateRange::cbRelativeChange() {
    const bool fixed = cbRelative->currentIndex() == 0;
    dtFrom->setEnabled(fixed);
    dtTo->setEnabled(fixed);
}

}  // namespace rowsmith
