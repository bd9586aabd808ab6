#include "fill/generators/date_range_generator.h"

#include <algorithm>
#include <utility>

#include "engine/cursor_field.h"
#include "fill/random_source.h"
#include "model/fill_field.h"
#include "text/date_bounds.h"
#include "text/errors.h"

namespace rowsmith {

namespace {

using Parts = DateTimeValue::Parts;

// Beyond microseconds a range over the years would not fit 64 bits, and no server keeps more.
constexpr int kMostFractionDigits = 6;

// A range worked out for a column: what it writes and its bounds, in order, in one zone.
struct PlannedRange {
    Parts parts = Parts::Date;
    DateTimeValue low;
    DateTimeValue high;
};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

// Moves a date and time by `minutes`, carrying into the day.
void ShiftMinutes(DateTimeValue& value, std::int64_t minutes) {
    const std::int64_t nanos = value.nanosecond + minutes * 60 * kNanosPerSecond;
    const std::int64_t days = FloorDiv(nanos, kNanosPerDay);
    value.day += days;
    value.nanosecond = nanos - days * kNanosPerDay;
}

// What a range with bounds of `low` and `high` parts writes into a column of `type`; the reason
// when it cannot go there.
std::string MatchColumn(Parts low, Parts high, TFieldType type, Parts& parts) {
    if ((low == Parts::Time) != (high == Parts::Time)) {
        return "one bound is a time of day and the other a date: give both the same form";
    }
    const bool times = low == Parts::Time;
    if (type == ftDate) {
        parts = Parts::Date;
        return times ? "a time-only range cannot go on a date column" : "";
    }
    if (type == ftTime) {
        parts = Parts::Time;
        return times ? "" : "a time column takes a range of times of day, such as 08:00 - 18:30";
    }
    if (type == ftDateTime) {
        parts = Parts::DateAndTime;
        return times ? "a time-only range cannot go on a date and time column" : "";
    }
    if (!StoresText(type)) {
        return std::string("a date or time range cannot go on a column of type ") +
               FieldTypeName(type);
    }
    parts = times ? Parts::Time
                  : (low == Parts::Date && high == Parts::Date ? Parts::Date : Parts::DateAndTime);
    return {};
}

// Reads `text` for a column of `type`, with "now" at `now`; the reason when it cannot be used.
std::string Plan(const std::string& text, TFieldType type, const DateTimeValue& now,
                 PlannedRange& plan) {
    DateRangeText range;
    std::string bad;
    if (!ParseDateRange(text, range, bad)) {
        return bad == text ? "a range is two bounds with \" - \" between them"
                           : "cannot read \"" + bad + "\" as a date, a time or a date and time";
    }
    std::string mismatch = MatchColumn(range.low.Parts(), range.high.Parts(), type, plan.parts);
    if (!mismatch.empty()) {
        return mismatch;
    }
    if (!ResolveBound(range.low, now, plan.low) || !ResolveBound(range.high, now, plan.high)) {
        return "a bound falls outside the years 1 to 9999";
    }
    // A bound without a zone is in the zone of the other; the values take the first zone named.
    const DateTimeValue* zoned = plan.low.hasZone ? &plan.low : nullptr;
    if (zoned == nullptr && plan.high.hasZone) {
        zoned = &plan.high;
    }
    if (zoned != nullptr) {
        const int zone = zoned->zoneMinutes;
        for (DateTimeValue* bound : {&plan.low, &plan.high}) {
            if (bound->hasZone) {
                ShiftMinutes(*bound, zone - bound->zoneMinutes);
            }
            bound->hasZone = true;
            bound->zoneMinutes = zone;
        }
    }
    if (std::pair(plan.high.day, plan.high.nanosecond) <
        std::pair(plan.low.day, plan.low.nanosecond)) {
        std::swap(plan.low, plan.high);
    }
    return {};
}

// The column's type, or the form-only check of a setting without a column.
TFieldType TypeOf(const CursorField* column) {
    return column != nullptr ? column->FieldType() : ftString;
}

int FractionDigits(const PlannedRange& plan, int columnDigits) {
    if (plan.parts == Parts::Date) {
        return 0;
    }
    int digits =
        std::min(std::max(plan.low.fractionDigits, plan.high.fractionDigits), kMostFractionDigits);
    return columnDigits >= 0 ? std::min(digits, columnDigits) : digits;
}

std::int64_t PowerOfTen(int exponent) {
    std::int64_t power = 1;
    while (exponent-- > 0) {
        power *= 10;
    }
    return power;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return -FloorDiv(-a, b);
}

}  // namespace

DateTimeValue DateRangeGenerator::CheckNow() const {
    return sources_ != nullptr && sources_->now ? *sources_->now : LocalNow();
}

std::string DateRangeGenerator::Refusal(const std::string& text, const CursorField* column) const {
    PlannedRange plan;
    return Plan(text, TypeOf(column), CheckNow(), plan);
}

bool DateRangeGenerator::CheckValue(const std::string& text, const CursorField* column) const {
    return Refusal(text, column).empty();
}

double DateRangeGenerator::DistinctValues() const {
    PlannedRange plan;
    if (!Plan(setting_.FillValue(), ftString, CheckNow(), plan).empty()) {
        return -1;
    }
    if (plan.parts == Parts::Date) {
        return static_cast<double>(plan.high.day - plan.low.day + 1);
    }
    const auto unit = static_cast<double>(PowerOfTen(9 - FractionDigits(plan, -1)));
    const double nanos = static_cast<double>(plan.high.day - plan.low.day) * kNanosPerDay +
                         static_cast<double>(plan.high.nanosecond - plan.low.nanosecond);
    return nanos / unit + 1;
}

void DateRangeGenerator::CheckFit(TFieldType type, int size,
                                  std::vector<std::string>& misfits) const {
    PlannedRange plan;
    const std::string reason = Plan(setting_.FillValue(), type, CheckNow(), plan);
    if (!reason.empty()) {
        misfits.push_back(reason + ": the check will refuse it");
        return;
    }
    if (StoresText(type) && size > 0) {
        char text[kDateTimeTextMax];
        DateTimeValue sample = plan.low;
        sample.parts = plan.parts;
        sample.fractionDigits = FractionDigits(plan, -1);
        const std::size_t length = FormatDateTime(sample, 'T', sample.hasZone, text);
        if (length > static_cast<std::size_t>(size)) {
            misfits.push_back("its text has " + std::to_string(length) +
                              " characters, more than the column's " + std::to_string(size) +
                              ": it will be cut");
        }
    }
}

void DateRangeGenerator::CheckSpan(TFieldType type, std::int64_t firstSecond,
                                   std::int64_t lastSecond,
                                   std::vector<std::string>& misfits) const {
    PlannedRange plan;
    if ((type != ftDate && type != ftDateTime) ||
        !Plan(setting_.FillValue(), type, CheckNow(), plan).empty()) {
        return;
    }
    // A date column keeps the days of its bounds whatever their times.
    const bool days = type == ftDate;
    const auto second = [days](const DateTimeValue& value, std::int64_t dayPart) {
        return value.day * kSecondsPerDay + (days ? dayPart : value.nanosecond / kNanosPerSecond);
    };
    if (second(plan.low, kSecondsPerDay - 1) >= firstSecond && second(plan.high, 0) <= lastSecond) {
        return;
    }
    const auto text = [days](std::int64_t seconds) {
        DateTimeValue value;
        value.parts = days ? Parts::Date : Parts::DateAndTime;
        value.day = FloorDiv(seconds, kSecondsPerDay);
        value.nanosecond = (seconds - value.day * kSecondsPerDay) * kNanosPerSecond;
        char buffer[kDateTimeTextMax];
        return std::string(buffer, FormatDateTime(value, ' ', false, buffer));
    };
    misfits.push_back("range " + setting_.FillValue() + " goes beyond the column's type (" +
                      text(firstSecond) + " to " + text(lastSecond) + "): it will fail");
}

void DateRangeGenerator::Prepare() {
    const std::string& text = setting_.FillValue();
    PlannedRange plan;
    const std::string reason = Plan(text, column_->FieldType(), host_->Now(), plan);
    if (!reason.empty()) {
        throw Exception("Wrong fill value. Field: \"" + setting_.FieldName() + "\". Value: \"" +
                        text + "\": " + reason);
    }
    value_ = DateTimeValue();
    value_.parts = plan.parts;
    value_.fractionDigits = FractionDigits(plan, column_->FractionDigits());
    value_.hasZone = plan.low.hasZone;
    value_.zoneMinutes = plan.low.zoneMinutes;
    std::int64_t low = 0;
    std::int64_t high = 0;
    if (plan.parts == Parts::Date) {
        unitNanos_ = kNanosPerDay;
        unitsPerDay_ = 1;
        low = plan.low.day;
        high = plan.high.day;
    } else {
        // The first and last values the column's precision keeps inside the bounds.
        unitNanos_ = PowerOfTen(9 - value_.fractionDigits);
        unitsPerDay_ = plan.parts == Parts::Time ? 0 : kNanosPerDay / unitNanos_;
        low = plan.low.day * unitsPerDay_ + CeilDiv(plan.low.nanosecond, unitNanos_);
        high = plan.high.day * unitsPerDay_ + FloorDiv(plan.high.nanosecond, unitNanos_);
        // Bounds within one step of the precision keep the step they fall in.
        if (high < low) {
            low = high;
        }
    }
    low_ = low;
    span_ = static_cast<std::uint64_t>(high - low);
    prepared_ = true;
}

bool DateRangeGenerator::DrawWithoutReplacement() {
    if (!prepared_) {
        Prepare();
    }
    order_ = std::make_unique<RangePermutation>(span_ + 1, *random_);
    given_ = 0;
    return true;
}

bool DateRangeGenerator::Exhausted() const {
    return order_ != nullptr && given_ >= order_->Count();
}

void DateRangeGenerator::Write() {
    if (!prepared_) {
        Prepare();
    }
    std::uint64_t draw;
    if (order_ != nullptr) {
        draw = order_->At(given_++);
    } else if (span_ < 0xFFFFFFFFu) {
        draw = random_->RandomBelow(static_cast<std::uint32_t>(span_ + 1));
    } else {
        // Two steps make 64 bits, scaled to the span as RandomBelow scales one.
        const std::uint64_t high = random_->NextState();
        const std::uint64_t bits = (high << 32) | random_->NextState();
        draw =
            static_cast<std::uint64_t>((static_cast<unsigned __int128>(bits) * (span_ + 1)) >> 64);
    }
    const std::int64_t units = low_ + static_cast<std::int64_t>(draw);
    switch (value_.parts) {
        case Parts::Date:
            value_.day = units;
            break;
        case Parts::Time:
            value_.nanosecond = units * unitNanos_;
            break;
        case Parts::DateAndTime:
            // Whole seconds, the usual precision, divide by a constant: a multiplication rather
            // than a division instruction for every value.
            value_.day = unitsPerDay_ == kSecondsPerDay ? FloorDiv(units, kSecondsPerDay)
                                                        : FloorDiv(units, unitsPerDay_);
            value_.nanosecond = (units - value_.day * unitsPerDay_) * unitNanos_;
            break;
    }
    column_->WriteDateTime(value_);
}

}  // namespace rowsmith
