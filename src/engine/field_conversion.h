// The conversions between the program's texts and numbers and the values columns store, with the
// access layer's messages for what a column refuses. CursorField calls them for every value a fill
// writes, so they convert in place into a value that keeps its text buffer from record to record.
#pragma once

#include <cstdint>
#include <string>

#include "engine/driver.h"
#include "text/civil_time.h"

namespace rowsmith {

// Converts `text` to the column's type into `value`; the empty text empties it. Throws
// EDatabaseError for a text the type does not take or a number outside the column's range.
void StoreText(const ColumnInfo& column, const std::string& text, FieldValue& value);
// Stores an integer: the number for numeric columns, its decimal digits for text columns.
void StoreInteger(const ColumnInfo& column, std::int32_t number, FieldValue& value);
// Stores `source`, a value of `sourceColumn`, as StoreText stores its ValueText, without making
// the text where the value does not need it.
void StoreValue(const ColumnInfo& column, const ColumnInfo& sourceColumn, const FieldValue& source,
                FieldValue& value);
// Stores a date, time or both as CursorField::WriteDateTime says, keeping the value's text buffer.
void StoreDateTime(const ColumnInfo& column, const DateTimeValue& date, FieldValue& value);
// Stores a real in a real column; throws EDatabaseError for any other column.
void StoreReal(const ColumnInfo& column, double number, FieldValue& value);
// The value as text: empty for an empty value, integers in decimal, reals as the shortest text
// that reads back the same value and amounts with every digit and no trailing zero (both with
// the locale's decimal separator), booleans True or False. StoreText takes back every text this
// gives.
std::string ValueText(const ColumnInfo& column, const FieldValue& value);

}  // namespace rowsmith
