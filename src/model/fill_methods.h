// The fill-method codes of a column and of a table, their captions in code order, and the
// one-line description of each column method that the window shows as a hint.
// Codes are plain integers: a scenario file may hold any value, and it is kept unchanged.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace rowsmith {

constexpr std::int32_t fmDontFill = 0;
constexpr std::int32_t fmSingleValue = 1;
constexpr std::int32_t fmRandomFromSet = 2;
constexpr std::int32_t fmRandomInteger = 3;
constexpr std::int32_t fmRandomReal = 4;
constexpr std::int32_t fmAutoIncrement = 5;
constexpr std::int32_t fmRandomString = 6;
constexpr std::int32_t fmMasterTable = 7;

constexpr std::int32_t tfEmptyAndFill = 0;
constexpr std::int32_t tfUpdateAndFill = 1;
constexpr std::int32_t tfUpdateExisting = 2;

// The entries of the window's method lists, indexed by code.
extern const std::array<const char*, 8> kFillMethodCaptions;
extern const std::array<const char*, 3> kTableFillMethodCaptions;

// The random-string length a column gets when that method is chosen.
inline constexpr const char* kDefaultRandomStringLength = "10";

// The description of a column fill method; nothing for a code outside 0..7.
std::optional<std::string> FillMethodHint(std::int32_t code);

}  // namespace rowsmith
