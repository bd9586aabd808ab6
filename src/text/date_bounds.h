// The bounds of a date range as a user writes them: "2020-01-01 - 2024-12-31", "08:00 -
// 18:30:00", "2024-01-01 00:00:00 - 2024-12-31T23:59:59", and bounds relative to the start of a
// fill, "today", "now", each with an optional offset ("today-365d", "now-12h", "today+2w"; units
// s, m, h, d, w, y). The two bounds stand around " - " (blank, hyphen, blank), so the hyphens of a
// date never split them. A date and time may end in its offset from UTC: "Z", "+02", "+02:00".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/civil_time.h"

namespace rowsmith {

struct DateBound {
    enum class Anchor : std::uint8_t { Fixed, Today, Now };

    Anchor anchor = Anchor::Fixed;
    // Fixed: the bound itself.
    DateTimeValue value;
    // Today and Now: the offset, a count of `unit` ('s', 'm', 'h', 'd', 'w', 'y'; 0 for none).
    std::int64_t amount = 0;
    char unit = 0;

    // What the bound gives: a date ("today", or with an offset in days, weeks or years), a time,
    // or a date and time.
    DateTimeValue::Parts Parts() const;
};

struct DateRangeText {
    DateBound low;
    DateBound high;
};

// Reads one bound; false for a text of none of the forms.
bool ParseDateBound(std::string_view text, DateBound& bound);
// Reads "bound - bound". When it cannot, gives false and `bad` holds the bound it could not read,
// or the whole text when it has no " - ".
bool ParseDateRange(const std::string& text, DateRangeText& range, std::string& bad);
// A date, a time, or a date and time with its zone: the fixed forms of a bound, as --now takes
// them.
bool ParseDateTime(std::string_view text, DateTimeValue& value);

// The bound at the moment `now` (a date and time): false when it falls outside the years 1 to
// 9999.
bool ResolveBound(const DateBound& bound, const DateTimeValue& now, DateTimeValue& value);

}  // namespace rowsmith
