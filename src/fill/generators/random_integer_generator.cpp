#include "fill/generators/random_integer_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "engine/cursor_field.h"
#include "model/fill_field.h"
#include "text/conversions.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

std::pair<long double, long double> IntegerRange(TFieldType type, bool wide) {
    if (wide) {
        return {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()};
    }
    switch (type) {
        case ftSmallint:
            return {-32768, 32767};
        case ftWord:
            return {0, 65535};
        default:
            return {std::numeric_limits<std::int32_t>::min(),
                    std::numeric_limits<std::int32_t>::max()};
    }
}

bool IsInteger64(const std::string& text) {
    std::int64_t value = 0;
    return TryStrToInt64(text, value);
}

}  // namespace

bool RandomIntegerGenerator::CheckValue(const std::string& text, const CursorField* column) const {
    std::string low;
    std::string high;
    if (!SplitSignedRange(text, low, high)) {
        return false;
    }
    const auto isNumber = column != nullptr && column->IsWide() ? IsInteger64 : IsInteger;
    return isNumber(low) && isNumber(high);
}

double RandomIntegerGenerator::DistinctValues() const {
    // Without a column, the integers the method is named for.
    return ValueCount(shape_.type != ftUnknown ? shape_.type : ftInteger);
}

void RandomIntegerGenerator::CheckFit(TFieldType type, int,
                                      std::vector<std::string>& misfits) const {
    if (StoresIntegers(type)) {
        const std::string& range = setting_.FillValue();
        long double low = 0;
        long double high = 0;
        const auto [least, most] = IntegerRange(type, shape_.wide);
        if (ReadBounds(range, low, high) &&
            (std::min(low, high) < least || std::max(low, high) > most)) {
            misfits.push_back("range " + range + " goes beyond the column's type (" +
                              std::to_string(static_cast<long long>(least)) + " to " +
                              std::to_string(static_cast<long long>(most)) + "): it will fail");
        }
    }
    CheckNotDateOrTime(type, misfits);
    CheckTakesNumbers(type, misfits);
}

}  // namespace rowsmith
