#include "fill/generators/random_integer_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "model/fill_field.h"
#include "text/conversions.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

std::pair<long double, long double> IntegerRange(TFieldType type) {
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

}  // namespace

bool RandomIntegerGenerator::CheckValue(const std::string& text, const CursorField*) const {
    return IsRange(text, IsInteger);
}

double RandomIntegerGenerator::DistinctValues() const {
    long double low = 0;
    long double high = 0;
    if (!TryStrToFloat(LeftOf("-", setting_.FillValue()), low) ||
        !TryStrToFloat(RightOf("-", setting_.FillValue()), high)) {
        return -1;
    }
    return static_cast<double>(std::fabs(std::trunc(high) - std::trunc(low)) + 1);
}

void RandomIntegerGenerator::CheckFit(TFieldType type, int,
                                      std::vector<std::string>& misfits) const {
    if (StoresIntegers(type)) {
        const std::string& range = setting_.FillValue();
        long double low = 0;
        long double high = 0;
        const auto [least, most] = IntegerRange(type);
        if (TryStrToFloat(LeftOf("-", range), low) && TryStrToFloat(RightOf("-", range), high) &&
            (std::min(low, high) < least || std::max(low, high) > most)) {
            misfits.push_back("range " + range + " goes beyond the column's type (" +
                              std::to_string(static_cast<long long>(least)) + " to " +
                              std::to_string(static_cast<long long>(most)) + "): it will fail");
        }
    }
    CheckNotDateOrTime(type, misfits);
}

}  // namespace rowsmith
