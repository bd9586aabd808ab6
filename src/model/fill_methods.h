// The fill-method codes of a column and of a table, and the captions of the table methods in code
// order. Codes are plain integers: a scenario file may hold any value, and it is kept unchanged.
// What each column method is and does is listed in the fill method registry (src/fill/generators).
#pragma once

#include <array>
#include <cstdint>

namespace rowsmith {

constexpr std::int32_t fmDontFill = 0;
constexpr std::int32_t fmSingleValue = 1;
constexpr std::int32_t fmRandomFromSet = 2;
constexpr std::int32_t fmRandomInteger = 3;
constexpr std::int32_t fmRandomReal = 4;
constexpr std::int32_t fmAutoIncrement = 5;
constexpr std::int32_t fmRandomString = 6;
constexpr std::int32_t fmMasterTable = 7;
constexpr std::int32_t fmDateRange = 8;
constexpr std::int32_t fmLibrary = 9;
constexpr std::int32_t fmPattern = 10;
constexpr std::int32_t fmMasterRandom = 11;

constexpr std::int32_t tfEmptyAndFill = 0;
constexpr std::int32_t tfUpdateAndFill = 1;
constexpr std::int32_t tfUpdateExisting = 2;

// The entries of the window's table method list, indexed by code.
extern const std::array<const char*, 3> kTableFillMethodCaptions;

// The random-string length a column gets when that method is chosen.
inline constexpr const char* kDefaultRandomStringLength = "10";

}  // namespace rowsmith
