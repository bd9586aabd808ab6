#include "text/date_bounds.h"

#include "text/text_helpers.h"

namespace rowsmith {

namespace {

constexpr std::string_view kBetweenBounds = " - ";

// Reads exactly `count` digits at `at` and moves past them.
bool TakeDigits(std::string_view text, std::size_t& at, std::size_t count, int& number) {
    if (!FixedDigits(text, at, count, number)) {
        return false;
    }
    at += count;
    return true;
}

bool TakeChar(std::string_view text, std::size_t& at, char c) {
    if (at < text.size() && text[at] == c) {
        ++at;
        return true;
    }
    return false;
}

bool TakeDate(std::string_view text, std::size_t& at, std::int64_t& day) {
    CivilDate date;
    if (!TakeDigits(text, at, 4, date.year) || !TakeChar(text, at, '-') ||
        !TakeDigits(text, at, 2, date.month) || !TakeChar(text, at, '-') ||
        !TakeDigits(text, at, 2, date.day) || !IsCivilDate(date)) {
        return false;
    }
    day = DaysFromCivil(date);
    return true;
}

// HH:MM, HH:MM:SS, or HH:MM:SS and "." with one to nine digits of a second.
bool TakeTime(std::string_view text, std::size_t& at, DateTimeValue& value) {
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (!TakeDigits(text, at, 2, hour) || !TakeChar(text, at, ':') ||
        !TakeDigits(text, at, 2, minute) || hour > 23 || minute > 59) {
        return false;
    }
    if (TakeChar(text, at, ':') && (!TakeDigits(text, at, 2, second) || second > 59)) {
        return false;
    }
    std::int64_t fraction = 0;
    value.fractionDigits = 0;
    if (TakeChar(text, at, '.')) {
        while (at < text.size() && IsDigit(text[at]) && value.fractionDigits < 9) {
            fraction = fraction * 10 + (text[at++] - '0');
            ++value.fractionDigits;
        }
        if (value.fractionDigits == 0) {
            return false;
        }
        for (int i = value.fractionDigits; i < 9; ++i) {
            fraction *= 10;
        }
    }
    value.nanosecond =
        ((hour * std::int64_t{60} + minute) * 60 + second) * kNanosPerSecond + fraction;
    return true;
}

// "Z", or a sign and HH, HHMM or HH:MM.
bool TakeZone(std::string_view text, std::size_t& at, DateTimeValue& value) {
    if (TakeChar(text, at, 'Z')) {
        value.hasZone = true;
        value.zoneMinutes = 0;
        return true;
    }
    if (at >= text.size() || (text[at] != '+' && text[at] != '-')) {
        return false;
    }
    const int sign = text[at++] == '-' ? -1 : 1;
    int hours = 0;
    int minutes = 0;
    if (!TakeDigits(text, at, 2, hours) || hours > 14) {
        return false;
    }
    if (at < text.size()) {
        TakeChar(text, at, ':');
        if (!TakeDigits(text, at, 2, minutes) || minutes > 59) {
            return false;
        }
    }
    value.hasZone = true;
    value.zoneMinutes = sign * (hours * 60 + minutes);
    return true;
}

// "today" or "now" in any letter case, then nothing or a sign, digits and a unit.
bool ParseRelative(std::string_view text, DateBound& bound) {
    std::size_t at = 0;
    if (SameText(text.substr(0, 5), "today")) {
        bound.anchor = DateBound::Anchor::Today;
        at = 5;
    } else if (SameText(text.substr(0, 3), "now")) {
        bound.anchor = DateBound::Anchor::Now;
        at = 3;
    } else {
        return false;
    }
    if (at == text.size()) {
        return true;
    }
    if (text[at] != '+' && text[at] != '-') {
        return false;
    }
    const bool negative = text[at++] == '-';
    std::int64_t amount = 0;
    const std::size_t first = at;
    // A trillion seconds already leaves the years a date can have.
    while (at < text.size() && IsDigit(text[at]) && at - first < 12) {
        amount = amount * 10 + (text[at++] - '0');
    }
    if (at == first || at + 1 != text.size() ||
        std::string_view("smhdwy").find(text[at]) == std::string_view::npos) {
        return false;
    }
    bound.amount = negative ? -amount : amount;
    bound.unit = text[at];
    return true;
}

// The days of the years 1 to 9999.
bool InYears(std::int64_t day) {
    return day >= DaysFromCivil({1, 1, 1}) && day <= DaysFromCivil({9999, 12, 31});
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

}  // namespace

DateTimeValue::Parts DateBound::Parts() const {
    switch (anchor) {
        case Anchor::Fixed:
            return value.parts;
        case Anchor::Today:
            return unit == 's' || unit == 'm' || unit == 'h' ? DateTimeValue::Parts::DateAndTime
                                                             : DateTimeValue::Parts::Date;
        case Anchor::Now:
            break;
    }
    return DateTimeValue::Parts::DateAndTime;
}

bool ParseDateTime(std::string_view text, DateTimeValue& value) {
    value = DateTimeValue();
    std::size_t at = 0;
    if (text.size() > 2 && text[2] == ':') {
        value.parts = DateTimeValue::Parts::Time;
        return TakeTime(text, at, value) && at == text.size();
    }
    if (!TakeDate(text, at, value.day)) {
        return false;
    }
    if (at == text.size()) {
        value.parts = DateTimeValue::Parts::Date;
        return true;
    }
    value.parts = DateTimeValue::Parts::DateAndTime;
    if (!TakeChar(text, at, ' ') && !TakeChar(text, at, 'T')) {
        return false;
    }
    if (!TakeTime(text, at, value)) {
        return false;
    }
    return at == text.size() || (TakeZone(text, at, value) && at == text.size());
}

bool ParseDateBound(std::string_view text, DateBound& bound) {
    bound = DateBound();
    return ParseRelative(text, bound) || ParseDateTime(text, bound.value);
}

bool ParseDateRange(const std::string& text, DateRangeText& range, std::string& bad) {
    const std::size_t between = text.find(kBetweenBounds);
    if (between == std::string::npos) {
        bad = text;
        return false;
    }
    const std::string low = TrimBlanks(text.substr(0, between));
    const std::string high = TrimBlanks(text.substr(between + kBetweenBounds.size()));
    if (!ParseDateBound(low, range.low)) {
        bad = low;
        return false;
    }
    if (!ParseDateBound(high, range.high)) {
        bad = high;
        return false;
    }
    return true;
}

bool ResolveBound(const DateBound& bound, const DateTimeValue& now, DateTimeValue& value) {
    if (bound.anchor == DateBound::Anchor::Fixed) {
        value = bound.value;
        return true;
    }
    value = DateTimeValue();
    value.parts = bound.Parts();
    value.day = now.day;
    value.nanosecond = bound.anchor == DateBound::Anchor::Now ? now.nanosecond : 0;
    value.fractionDigits = bound.anchor == DateBound::Anchor::Now ? now.fractionDigits : 0;
    std::int64_t seconds = 0;
    switch (bound.unit) {
        case 'y': {
            if (bound.amount > 9999 || bound.amount < -9999) {
                return false;
            }
            const CivilDate moved =
                AddYears(CivilFromDays(value.day), static_cast<int>(bound.amount));
            if (!IsCivilDate(moved)) {
                return false;
            }
            value.day = DaysFromCivil(moved);
            break;
        }
        case 'w':
            value.day += bound.amount * 7;
            break;
        case 'd':
            value.day += bound.amount;
            break;
        case 'h':
            seconds = bound.amount * 3600;
            break;
        case 'm':
            seconds = bound.amount * 60;
            break;
        case 's':
            seconds = bound.amount;
            break;
        default:
            break;
    }
    // Ten thousand years of seconds: more leaves the years, and the nanoseconds stay in range.
    constexpr std::int64_t kLongestOffset = kSecondsPerDay * 3652425;
    if (!InYears(value.day) || seconds > kLongestOffset || seconds < -kLongestOffset) {
        return false;
    }
    const std::int64_t nanos = value.nanosecond + seconds * kNanosPerSecond;
    value.day += FloorDiv(nanos, kNanosPerDay);
    value.nanosecond = nanos - FloorDiv(nanos, kNanosPerDay) * kNanosPerDay;
    return InYears(value.day);
}

}  // namespace rowsmith
