// Fuzz target: the reader of date range bounds. A bound that reads resolves, at a "now" made of
// the first bytes, either to a moment of the years 1 to 9999 or not at all; a fixed date, time or
// date and time written back as text reads back as the same value.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "text/civil_time.h"
#include "text/date_bounds.h"
#include "text/text_helpers.h"

namespace {

using namespace rowsmith;

[[noreturn]] void Fail(const char* what, const std::string& text) {
    std::fprintf(stderr, "%s: '%s'\n", what, text.c_str());
    std::abort();
}

bool Same(const DateTimeValue& a, const DateTimeValue& b) {
    const bool dated = a.parts != DateTimeValue::Parts::Time;
    const bool timed = a.parts != DateTimeValue::Parts::Date;
    return a.parts == b.parts && (!dated || a.day == b.day) &&
           (!timed || (a.nanosecond == b.nanosecond && a.fractionDigits == b.fractionDigits)) &&
           a.hasZone == b.hasZone && (!a.hasZone || a.zoneMinutes == b.zoneMinutes);
}

void CheckBound(const std::string& text, const DateTimeValue& now) {
    DateBound bound;
    if (!ParseDateBound(text, bound)) {
        return;
    }
    DateTimeValue value;
    if (ResolveBound(bound, now, value)) {
        const CivilDate date = CivilFromDays(value.day);
        if (!IsCivilDate(date) || value.nanosecond < 0 || value.nanosecond >= kNanosPerDay) {
            Fail("a bound resolves outside the calendar", text);
        }
        if (value.parts != bound.Parts()) {
            Fail("a bound resolves to other parts than it has", text);
        }
    }
    if (bound.anchor != DateBound::Anchor::Fixed) {
        return;
    }
    char written[kDateTimeTextMax];
    const std::string back(written, FormatDateTime(bound.value, 'T', bound.value.hasZone, written));
    DateTimeValue again;
    if (!ParseDateTime(back, again) || !Same(bound.value, again)) {
        Fail("a bound written back reads as another", text + "' as '" + back);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    // Any day of the calendar, at any second of it.
    DateTimeValue now;
    const std::uint32_t seed =
        data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t{data[3]} << 24;
    now.day = DaysFromCivil({1, 1, 1}) + seed % 3652059;
    now.nanosecond = static_cast<std::int64_t>(seed % 86400) * kNanosPerSecond;
    const std::string text(reinterpret_cast<const char*>(data) + 4, size - 4);
    CheckBound(text, now);
    DateRangeText range;
    std::string bad;
    if (ParseDateRange(text, range, bad)) {
        const std::size_t between = text.find(" - ");
        CheckBound(TrimBlanks(text.substr(0, between)), now);
        CheckBound(TrimBlanks(text.substr(between + 3)), now);
    }
    return 0;
}
