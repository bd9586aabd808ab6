// CursorField: one column of an open TableCursor. Reads and writes go to the cursor's current
// record; writes convert the text to the column's type and check its range.
#pragma once

#include <cstdint>
#include <string>

#include "engine/field_type.h"
#include "engine/field_value.h"
#include "text/civil_time.h"

namespace rowsmith {

class TableCursor;

class CursorField {
public:
    CursorField(TableCursor& cursor, int index);

    const std::string& FieldName() const;
    TFieldType FieldType() const;
    // Declared size of a text column in characters; 0 when it has none.
    int Size() const;
    // What a time or date-and-time column keeps (ColumnInfo): the digits of a second, whether it
    // holds instants, and the first and last moments it takes.
    int FractionDigits() const;
    bool Zoned() const;
    std::int64_t FirstSecond() const;
    std::int64_t LastSecond() const;

    // The current record's value as text: empty for an empty value, integers in decimal, reals
    // as the shortest text that reads back the same value.
    std::string ReadString() const;
    // The current record's value in the form the column keeps (field_value.h), for writers that
    // need to know whether it is NULL, a number, text or bytes.
    const FieldValue& Value() const;
    // An integer column of 64 bits rather than 32.
    bool IsWide() const;
    // A 64-bit column without a sign, whose integers are the bit patterns of unsigned numbers.
    bool IsUnsigned() const;
    // On an appended record, a column nothing was written to: the database gives it its default.
    bool LeftToDefault() const;
    // REQUIRES: a record is started (Append or Edit). The empty text empties the value.
    void WriteString(const std::string& text);
    void WriteInteger(std::int32_t value);
    // Writes the current value of `source`, a column of another cursor, as
    // WriteString(source.ReadString()) would.
    void WriteValueOf(const CursorField& source);
    // Stores a real in a real column (ftFloat, ftCurrency, ftBCD) as it is; it is the number
    // WriteString stores for a text that reads as exactly this value. Other columns throw
    // "Cannot access field '%s' as type Float".
    void WriteFloat(double value);
    // Stores a date, time or both in a date or time column in the text form field_value.h gives
    // (a date alone at midnight in a date-and-time column; a zoned column gets the value's zone,
    // UTC when it has none), and in a text column as ISO 8601 text ("2024-05-01T08:30:00"). A
    // time-only value for a date column, a date-only value for a time column and any other column
    // throw "Cannot access field '%s' as type DateTime".
    void WriteDateTime(const DateTimeValue& value);

private:
    TableCursor& cursor_;
    int index_;
};

}  // namespace rowsmith
