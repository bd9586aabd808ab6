// Splitting and joining comma lists: the "Tables" and "Fields" lists of a scenario file and the
// items of a random-from-set fill value.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace rowsmith {

// Cuts the item that starts at `pos` and runs to the next comma (or the end), and moves `pos`
// past that comma. Nothing is trimmed or unquoted. Callers take items while pos < text.size(),
// so "" gives no items, "a," gives one and "," gives a single empty one.
std::string NextCommaItem(const std::string& text, std::size_t& pos);

// The items of a value set. An item that begins with a double quote runs to its closing quote,
// with "" inside standing for one quote, and the comma after the quote ends it; any other item is
// taken exactly as it stands, blanks and inner quotes included. An opening quote that is never
// closed leaves the item as it stands up to the next comma.
std::vector<std::string> SplitValueSet(const std::string& text);

// The value-set text for a list of items: an item that holds a blank, a control character, a
// double quote or a comma is quoted with inner quotes doubled; an empty item becomes "" (bare, a
// last empty item would be lost). SplitValueSet(JoinValueSet(items)) gives the items back.
std::string JoinValueSet(const std::vector<std::string>& items);

}  // namespace rowsmith
