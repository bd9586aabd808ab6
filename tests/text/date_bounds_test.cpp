// The calendar arithmetic and the bounds of date ranges: the forms a bound takes, what the
// relative ones resolve to, and the texts values are written as.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "text/civil_time.h"
#include "text/date_bounds.h"

namespace rowsmith {
namespace {

using Parts = DateTimeValue::Parts;

std::string Text(const DateTimeValue& value, char separator = ' ', bool withZone = false) {
    char buffer[kDateTimeTextMax];
    return std::string(buffer, FormatDateTime(value, separator, withZone, buffer));
}

DateTimeValue At(const char* text) {
    DateTimeValue value;
    EXPECT_TRUE(ParseDateTime(text, value)) << text;
    return value;
}

TEST(CivilTime, DaysRoundTripAcrossTheWholeCalendar) {
    EXPECT_EQ(DaysFromCivil({1970, 1, 1}), 0);
    EXPECT_EQ(DaysFromCivil({2000, 3, 1}), 11017);
    EXPECT_EQ(DaysFromCivil({1969, 12, 31}), -1);
    const std::int64_t first = DaysFromCivil({1, 1, 1});
    const std::int64_t last = DaysFromCivil({9999, 12, 31});
    EXPECT_EQ(last - first + 1, 3652059);
    // Every day of a span with leap years of each kind, and the calendar's ends.
    for (std::int64_t day = DaysFromCivil({1899, 12, 1}); day < DaysFromCivil({2001, 3, 2});
         ++day) {
        ASSERT_EQ(DaysFromCivil(CivilFromDays(day)), day);
    }
    const CivilDate end = CivilFromDays(last);
    EXPECT_EQ(end.year * 10000 + end.month * 100 + end.day, 99991231);
    const CivilDate start = CivilFromDays(first);
    EXPECT_EQ(start.year * 10000 + start.month * 100 + start.day, 10101);
}

TEST(CivilTime, CalendarDaysAndYearSteps) {
    EXPECT_TRUE(IsCivilDate({2024, 2, 29}));
    EXPECT_FALSE(IsCivilDate({2023, 2, 29}));
    EXPECT_FALSE(IsCivilDate({1900, 2, 29}));
    EXPECT_TRUE(IsCivilDate({2000, 2, 29}));
    EXPECT_FALSE(IsCivilDate({2024, 4, 31}));
    EXPECT_FALSE(IsCivilDate({0, 1, 1}));
    EXPECT_FALSE(IsCivilDate({10000, 1, 1}));
    const CivilDate back = AddYears({2024, 2, 29}, -1);
    EXPECT_EQ(back.year * 10000 + back.month * 100 + back.day, 20230228);
    const CivilDate leap = AddYears({2020, 2, 29}, 4);
    EXPECT_EQ(leap.year * 10000 + leap.month * 100 + leap.day, 20240229);
}

TEST(CivilTime, TextsOfEachPartAndZone) {
    DateTimeValue value = At("0987-06-05 04:03:02.000123");
    EXPECT_EQ(Text(value), "0987-06-05 04:03:02.000123");
    value.fractionDigits = 3;
    EXPECT_EQ(Text(value, 'T'), "0987-06-05T04:03:02.000");
    value.fractionDigits = 0;
    EXPECT_EQ(Text(value, ' ', true), "0987-06-05 04:03:02+00:00");
    value.hasZone = true;
    value.zoneMinutes = -330;
    EXPECT_EQ(Text(value, 'T', true), "0987-06-05T04:03:02-05:30");
    value.parts = Parts::Date;
    EXPECT_EQ(Text(value, 'T', true), "0987-06-05");
    value.parts = Parts::Time;
    EXPECT_EQ(Text(value), "04:03:02");
}

// Every day of the calendar and every second of a day, against the fields' own digits.
TEST(CivilTime, TextsOfEveryDayAndSecond) {
    char expected[32];
    DateTimeValue value;
    value.parts = Parts::Date;
    for (value.day = DaysFromCivil({1, 1, 1}); value.day <= DaysFromCivil({9999, 12, 31});
         ++value.day) {
        const CivilDate date = CivilFromDays(value.day);
        std::snprintf(expected, sizeof expected, "%04d-%02d-%02d", date.year, date.month, date.day);
        ASSERT_EQ(Text(value), expected);
    }
    value.parts = Parts::Time;
    for (int second = 0; second < kSecondsPerDay; ++second) {
        value.nanosecond = second * kNanosPerSecond;
        std::snprintf(expected, sizeof expected, "%02d:%02d:%02d", second / 3600, second / 60 % 60,
                      second % 60);
        ASSERT_EQ(Text(value), expected);
    }
}

TEST(DateBounds, EveryFormOfABound) {
    static const struct {
        const char* text;
        Parts parts;
        const char* written;  // as a date and time or its own part; "" for a relative bound
    } cases[] = {
        {"2024-02-29", Parts::Date, "2024-02-29"},
        {"08:00", Parts::Time, "08:00:00"},
        {"18:30:00", Parts::Time, "18:30:00"},
        {"23:59:59.5", Parts::Time, "23:59:59.5"},
        {"2024-01-01 00:00:00", Parts::DateAndTime, "2024-01-01 00:00:00"},
        {"2024-01-01T12:34", Parts::DateAndTime, "2024-01-01 12:34:00"},
        {"2024-01-01 12:00:00Z", Parts::DateAndTime, "2024-01-01 12:00:00"},
        {"2024-01-01 12:00:00+02", Parts::DateAndTime, "2024-01-01 12:00:00"},
        {"2024-01-01T12:00:00-05:30", Parts::DateAndTime, "2024-01-01 12:00:00"},
        {"2024-01-01 12:00:00+0100", Parts::DateAndTime, "2024-01-01 12:00:00"},
        {"today", Parts::Date, ""},
        {"TODAY-365d", Parts::Date, ""},
        {"today+2w", Parts::Date, ""},
        {"today-1y", Parts::Date, ""},
        {"today+6h", Parts::DateAndTime, ""},
        {"now", Parts::DateAndTime, ""},
        {"now-12h", Parts::DateAndTime, ""},
        {"Now+90s", Parts::DateAndTime, ""},
    };
    for (const auto& c : cases) {
        DateBound bound;
        ASSERT_TRUE(ParseDateBound(c.text, bound)) << c.text;
        EXPECT_EQ(bound.Parts(), c.parts) << c.text;
        if (*c.written != '\0') {
            EXPECT_EQ(Text(bound.value), c.written) << c.text;
        }
    }
}

TEST(DateBounds, TextsThatAreNoBound) {
    for (const char* text : {"",
                             "2024-13-01",
                             "2024-02-30",
                             "2023-02-29",
                             "0000-01-01",
                             "24-01-01",
                             "2024-1-1",
                             "2024-01-01 24:00:00",
                             "2024-01-01 12:60",
                             "2024-01-01 12:00:60",
                             "2024-01-01 12:00:00.",
                             "12:00:00.1234567891",
                             "2024-01-01  12:00",
                             "2024-01-01 12:00:00+15",
                             "2024-01-01 12:00:00 +02",
                             "12:00+02",
                             "yesterday",
                             "today-",
                             "today-5",
                             "today-5x",
                             "today-5M",
                             "now+1d2h",
                             "today 5d",
                             "nowish",
                             "8:00",
                             "2024-01-01x"}) {
        DateBound bound;
        EXPECT_FALSE(ParseDateBound(text, bound)) << text;
    }
}

TEST(DateBounds, RangesSplitAtABlankHyphenBlank) {
    DateRangeText range;
    std::string bad;
    ASSERT_TRUE(ParseDateRange("2020-01-01 - 2024-12-31", range, bad));
    EXPECT_EQ(Text(range.low.value), "2020-01-01");
    EXPECT_EQ(Text(range.high.value), "2024-12-31");
    ASSERT_TRUE(ParseDateRange("  now-12h   -  now ", range, bad));
    EXPECT_EQ(range.low.amount, -12);
    EXPECT_EQ(range.low.unit, 'h');
    EXPECT_EQ(range.high.unit, 0);

    EXPECT_FALSE(ParseDateRange("2020-01-01-2024-12-31", range, bad));
    EXPECT_EQ(bad, "2020-01-01-2024-12-31");
    EXPECT_FALSE(ParseDateRange("2020-01-01 - 2024-12-32", range, bad));
    EXPECT_EQ(bad, "2024-12-32");
    EXPECT_FALSE(ParseDateRange("soon - 2024-12-31", range, bad));
    EXPECT_EQ(bad, "soon");
    EXPECT_FALSE(ParseDateRange("2020-01-01 - 2021-01-01 - 2022-01-01", range, bad));
    EXPECT_EQ(bad, "2021-01-01 - 2022-01-01");
}

TEST(DateBounds, RelativeBoundsAtAFixedNow) {
    const DateTimeValue now = At("2026-01-01 12:00:00");
    static const struct {
        const char* bound;
        const char* resolved;
    } cases[] = {
        {"today", "2026-01-01"},
        {"today-365d", "2025-01-01"},
        {"today+2w", "2026-01-15"},
        {"today-1y", "2025-01-01"},
        {"today+6h", "2026-01-01 06:00:00"},
        {"today-1s", "2025-12-31 23:59:59"},
        {"now", "2026-01-01 12:00:00"},
        {"now-12h", "2026-01-01 00:00:00"},
        {"now+13h", "2026-01-02 01:00:00"},
        {"now-90m", "2026-01-01 10:30:00"},
        {"now+3d", "2026-01-04 12:00:00"},
        {"now+10y", "2036-01-01 12:00:00"},
        {"2024-05-06", "2024-05-06"},
    };
    for (const auto& c : cases) {
        DateBound bound;
        ASSERT_TRUE(ParseDateBound(c.bound, bound)) << c.bound;
        DateTimeValue value;
        ASSERT_TRUE(ResolveBound(bound, now, value)) << c.bound;
        EXPECT_EQ(Text(value), c.resolved) << c.bound;
    }
    const DateTimeValue leapDay = At("2024-02-29 00:00:00");
    DateBound bound;
    DateTimeValue value;
    ASSERT_TRUE(ParseDateBound("today+1y", bound));
    ASSERT_TRUE(ResolveBound(bound, leapDay, value));
    EXPECT_EQ(Text(value), "2025-02-28");
}

TEST(DateBounds, RelativeBoundsOutsideTheCalendarDoNotResolve) {
    const DateTimeValue now = At("2026-01-01 12:00:00");
    for (const char* text : {"today-2026y", "today+8000y", "now+3000000d", "today-999999999999d",
                             "now+999999999999s", "now-999999999999h"}) {
        DateBound bound;
        ASSERT_TRUE(ParseDateBound(text, bound)) << text;
        DateTimeValue value;
        EXPECT_FALSE(ResolveBound(bound, now, value)) << text;
    }
}

}  // namespace
}  // namespace rowsmith
