#include "text/civil_time.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>

namespace rowsmith {

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

char* PutDigits(char* out, std::int64_t number, int count) {
    for (int i = count - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + number % 10);
        number /= 10;
    }
    return out + count;
}

// "00" to "99" one after the other: a fill writes a date or time for every record, and a pair of
// digits looked up costs less than two divisions.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// REQUIRES: 0 <= number < 100.
char* PutTwoDigits(char* out, unsigned number) {
    std::memcpy(out, &kDigitPairs[2 * number], 2);
    return out + 2;
}

}  // namespace

// Howard Hinnant's days_from_civil: eras of 400 years, years starting in March so the leap day
// comes last.
std::int64_t DaysFromCivil(const CivilDate& date) {
    const std::int64_t year = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear =
        (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    // Within an era every number is small and not negative, and unsigned 32-bit division by a
    // constant is the cheapest kind: a fill turns a day into a date for every value.
    const auto dayOfEra = static_cast<std::uint32_t>(days - era * 146097);
    const std::uint32_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::uint32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::uint32_t monthIndex = (5 * dayOfYear + 2) / 153;
    CivilDate date;
    date.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    date.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

bool IsCivilDate(const CivilDate& date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= DaysInMonth(date.year, date.month);
}

CivilDate AddYears(const CivilDate& date, int years) {
    CivilDate moved{date.year + years, date.month, date.day};
    if (moved.month == 2 && moved.day == 29 && !IsLeapYear(moved.year)) {
        moved.day = 28;
    }
    return moved;
}

std::size_t FormatDateTime(const DateTimeValue& value, char separator, bool withZone, char* out) {
    char* at = out;
    if (value.parts != DateTimeValue::Parts::Time) {
        const CivilDate date = CivilFromDays(value.day);
        if (date.year >= 0 && date.year <= 9999) {
            const auto year = static_cast<unsigned>(date.year);
            at = PutTwoDigits(at, year / 100);
            at = PutTwoDigits(at, year % 100);
        } else {
            at = PutDigits(at, date.year, 4);
        }
        *at++ = '-';
        at = PutTwoDigits(at, static_cast<unsigned>(date.month));
        *at++ = '-';
        at = PutTwoDigits(at, static_cast<unsigned>(date.day));
        if (value.parts == DateTimeValue::Parts::Date) {
            return static_cast<std::size_t>(at - out);
        }
        *at++ = separator;
    }
    const auto seconds = static_cast<unsigned>(value.nanosecond / kNanosPerSecond);
    at = PutTwoDigits(at, seconds / 3600 % 100);
    *at++ = ':';
    at = PutTwoDigits(at, seconds / 60 % 60);
    *at++ = ':';
    at = PutTwoDigits(at, seconds % 60);
    if (value.fractionDigits > 0) {
        *at++ = '.';
        std::int64_t fraction = value.nanosecond % kNanosPerSecond;
        for (int i = value.fractionDigits; i < 9; ++i) {
            fraction /= 10;
        }
        at = PutDigits(at, fraction, value.fractionDigits);
    }
    if (withZone) {
        const int minutes = value.hasZone ? value.zoneMinutes : 0;
        const int size = minutes < 0 ? -minutes : minutes;
        *at++ = minutes < 0 ? '-' : '+';
        at = PutDigits(at, size / 60, 2);
        *at++ = ':';
        at = PutDigits(at, size % 60, 2);
    }
    return static_cast<std::size_t>(at - out);
}

DateTimeValue LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    DateTimeValue value;
    value.day = DaysFromCivil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday});
    // A leap second reads as the second before it.
    value.nanosecond =
        (local.tm_hour * std::int64_t{3600} + local.tm_min * 60 + std::min(local.tm_sec, 59)) *
        kNanosPerSecond;
    return value;
}

}  // namespace rowsmith
