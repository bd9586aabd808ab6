// A column value on its way between a cursor and a driver.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace rowsmith {

// Empty (NULL), an integer, a real, or text (also bytes, dates and times in their text form).
using FieldValue = std::variant<std::monostate, std::int64_t, double, std::string>;

}  // namespace rowsmith
