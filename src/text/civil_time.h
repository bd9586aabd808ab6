// Calendar arithmetic and the texts of dates and times, in the proleptic Gregorian calendar with
// days counted from 1970-01-01. The date range method draws numbers of days or of fractions of a
// second; these turn them into the texts the columns keep without going through a parser.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rowsmith {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kNanosPerSecond = 1000000000;
constexpr std::int64_t kNanosPerDay = kSecondsPerDay * kNanosPerSecond;

struct CivilDate {
    int year = 1970;
    int month = 1;
    int day = 1;
};

// Days from 1970-01-01 to `date`, negative before it. Any month and day that exist.
std::int64_t DaysFromCivil(const CivilDate& date);
CivilDate CivilFromDays(std::int64_t days);
// Whether `date` is a real calendar day of the years 1 to 9999.
bool IsCivilDate(const CivilDate& date);
// The same day `years` later (earlier when negative); 29 February becomes the 28th in a year
// without it.
CivilDate AddYears(const CivilDate& date, int years);

// A value the date range method writes: a date, a time of day, or both, with the number of
// digits of a second its text shows and, when it has one, its offset from UTC.
struct DateTimeValue {
    enum class Parts : std::uint8_t { Date, Time, DateAndTime };

    Parts parts = Parts::DateAndTime;
    // Days from 1970-01-01 (not used for Time).
    std::int64_t day = 0;
    // Nanoseconds into the day, 0 to kNanosPerDay - 1 (not used for Date).
    std::int64_t nanosecond = 0;
    // 0 to 9.
    int fractionDigits = 0;
    bool hasZone = false;
    // Minutes east of UTC, when hasZone.
    int zoneMinutes = 0;
};

// The longest text FormatDateTime writes.
constexpr std::size_t kDateTimeTextMax = 40;

// Writes the value as "YYYY-MM-DD", "HH:MM:SS" or both with `separator` between them, the time
// with its fraction digits, then the zone as "+HH:MM" when `withZone` (UTC when the value has
// none). Returns the length written into `out`, which holds kDateTimeTextMax characters.
std::size_t FormatDateTime(const DateTimeValue& value, char separator, bool withZone, char* out);

// The local wall-clock time now, as a date and time without a zone.
DateTimeValue LocalNow();

}  // namespace rowsmith
