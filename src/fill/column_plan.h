// ColumnPlan: what the fill engine works out once per column of the table being filled, so the
// passes of a large fill repeat no look-up, parse or allocation. Everything a generator derives
// from its setting (parsed bounds, the column type found by name, the master cursor and column)
// is worked out at that generator's first call, where an error in it would have been raised
// anyway, and reused until the plan is dropped: at every bind, every table fill and every opening
// of the master cursors.
#pragma once

#include <cstdint>
#include <string>

#include "engine/field_type.h"

namespace rowsmith {

class CursorField;
class TableCursor;
class TFillField;

struct ColumnPlan {
    // Which generator's state below is worked out.
    enum class Prepared : std::uint8_t { None, Range, String, Master };

    TFillField* setting = nullptr;
    // The column the fill writes this setting's values to (position i); set by the fill only.
    CursorField* column = nullptr;
    std::int32_t method = 0;
    Prepared prepared = Prepared::None;

    // Ranges: the type of the column named like the setting decides the form of the value.
    TFieldType rangeType = ftUnknown;
    std::int32_t integerBase = 0;   // integer columns: trunc(lo)
    std::uint32_t integerSpan = 0;  // integer columns: trunc(hi - lo)
    // An integer value for a column that stores it as it would store its digits.
    bool writeAsInteger = false;
    long double realLow = 0;   // real and currency columns: lo
    long double realSpan = 0;  // real and currency columns: hi - lo
    int decimals = 0;          // real columns 4, currency columns 2
    // A real value for a column that stores it as it would store its text.
    bool writeAsReal = false;
    // Whole bounds below 2^31 (as in "0 - 1000") let the value be worked out in integers.
    bool wholeBounds = false;
    std::uint32_t wholeLow = 0;
    std::uint32_t wholeSpan = 0;
    char decimalSeparator = '.';

    // Random strings: the length limit; a negative one gives the empty text.
    std::int32_t maxLength = 0;

    // Master values: the first master cursor on the setting's table, and its column.
    TableCursor* master = nullptr;
    CursorField* masterColumn = nullptr;

    // The value made last, kept so its storage is reused from record to record.
    std::string text;
};

}  // namespace rowsmith
