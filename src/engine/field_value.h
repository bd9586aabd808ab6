// A column value on its way between a cursor and a driver.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "engine/currency.h"

namespace rowsmith {

// Empty (NULL), an integer, a real, text, or an exact amount. By column type:
//   ftSmallint, ftInteger, ftWord, ftAutoInc   integer
//   ftBoolean                                  integer 1 or 0
//   ftFloat, ftBCD                             real
//   ftCurrency                                 an amount, as a text or a money column of the
//                                              servers gives it; a real from WriteFloat; what
//                                              SQLite keeps (an integer or a real) when read
//   ftString, ftMemo                           text
//   ftDate, ftTime, ftDateTime                 text "YYYY-MM-DD", "HH:MM:SS", "YYYY-MM-DD HH:MM:SS"
//                                              (a date range writes a zoned column's values with
//                                              their offset, "+00:00")
//   ftBlob, ftBytes, ftVarBytes, ftGraphic     text holding the bytes
// What a driver reads may differ when another program stored something else in a column (SQLite
// keeps any value in any column); readers show such values as they are.
using FieldValue = std::variant<std::monostate, std::int64_t, double, std::string, Currency>;

}  // namespace rowsmith
