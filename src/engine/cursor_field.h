// CursorField: one column of an open TableCursor. Reads and writes go to the cursor's current
// record; writes convert the text to the column's type and check its range.
#pragma once

#include <cstdint>
#include <string>

#include "engine/field_type.h"
#include "engine/field_value.h"

namespace rowsmith {

class TableCursor;

class CursorField {
public:
    CursorField(TableCursor& cursor, int index);

    const std::string& FieldName() const;
    TFieldType FieldType() const;
    // Declared size of a text column in characters; 0 when it has none.
    int Size() const;

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

private:
    TableCursor& cursor_;
    int index_;
};

}  // namespace rowsmith
