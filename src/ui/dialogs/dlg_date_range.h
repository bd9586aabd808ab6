// TdlgDateRange: the range editor of "Date/time random value from range", "Date Range". Two
// pickers with a calendar pop-up set fixed bounds at the column's precision (dates, times of day,
// or both), or cbRelative picks one of the ranges relative to the start of the fill. The owner
// gives the column's type and the current value, and after OK takes back the range's text.
#pragma once

#include <QDialog>
#include <string>

#include "engine/field_type.h"

class QComboBox;
class QDateTimeEdit;
class QPushButton;

namespace rowsmith {

class TdlgDateRange : public QDialog {
    Q_OBJECT

public:
    explicit TdlgDateRange(QWidget* parent = nullptr);

    // Shows what a column of `type` keeps: dates, times of day, or both (also for text).
    void SetColumnType(TFieldType type);
    // Shows `value`: fixed bounds in the pickers, a relative range listed in cbRelative selected;
    // anything else leaves the pickers as they are.
    void SetRange(const std::string& value);
    // The range as the Values cell holds it: the selected relative range, or the pickers' bounds
    // in their order, "lo - hi".
    std::string RangeText() const;

    QComboBox* cbRelative = nullptr;
    QDateTimeEdit* dtFrom = nullptr;
    QDateTimeEdit* dtTo = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void cbRelativeChange();

    // The pickers' text form, as a bound is written.
    QString format_;
};

}  // namespace rowsmith
