#include "fill/generators/random_string_generator.h"

#include <algorithm>
#include <cmath>

#include "engine/cursor_field.h"
#include "fill/random_source.h"
#include "model/fill_field.h"
#include "text/conversions.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// The 47 characters of a random string run from the digit zero to the circumflex.
constexpr char kFirstStringChar = '0';
constexpr std::uint32_t kStringCharCount = 47;

}  // namespace

bool RandomStringGenerator::CheckValue(const std::string& text, const CursorField*) const {
    return IsInteger(text);
}

namespace {

// The lengths a limit gives, each equally likely: 0 .. limit - 1, the empty text for a limit
// below 1. A column with a declared size keeps no more than that many characters.
std::int64_t LengthCount(const std::string& limitText) {
    std::int32_t limit = 0;
    if (!TryStrToInt(limitText, limit)) {
        return -1;
    }
    return std::max<std::int64_t>(limit, 1);
}

std::int64_t KeptLength(std::int64_t length, int size) {
    return size > 0 ? std::min<std::int64_t>(length, size) : length;
}

}  // namespace

double RandomStringGenerator::DistinctValues() const {
    const std::int64_t lengths = LengthCount(setting_.FillValue());
    if (lengths < 0) {
        return -1;
    }
    double distinct = 0;
    double ofLength = 1;
    const std::int64_t longest = KeptLength(lengths - 1, shape_.size);
    for (std::int64_t length = 1; length <= longest && std::isfinite(distinct); ++length) {
        ofLength *= kStringCharCount;
        distinct += ofLength;
    }
    return distinct;
}

double RandomStringGenerator::RepeatChance() const {
    const std::int64_t lengths = LengthCount(setting_.FillValue());
    if (lengths < 0) {
        return -1;
    }
    // Two strings meet only at one length: at a length kept whole, 1 in 47^length of the pairs
    // drawn at that length; the lengths cut to the column's size all meet there.
    const double share = 1 / static_cast<double>(lengths);
    double chance = 0;
    double ofLength = 1;
    for (std::int64_t length = 1; length < lengths && ofLength > 0; ++length) {
        ofLength /= kStringCharCount;
        if (shape_.size > 0 && length >= shape_.size) {
            const double cut = share * static_cast<double>(lengths - length);
            chance += cut * cut * ofLength;
            break;
        }
        chance += share * share * ofLength;
    }
    return chance;
}

void RandomStringGenerator::CheckFit(TFieldType type, int size,
                                     std::vector<std::string>& misfits) const {
    std::int32_t length = 0;
    if (size > 0 && TryStrToInt(setting_.FillValue(), length) && length > size) {
        misfits.push_back("random strings of up to " + setting_.FillValue() +
                          " characters, the column keeps " + std::to_string(size) +
                          ": longer ones will be cut");
    }
    CheckNotDateOrTime(type, misfits);
}

void RandomStringGenerator::Write() {
    if (!prepared_) {
        maxLength_ = StrToInt(setting_.FillValue());
        prepared_ = true;
    }
    // A negative limit makes the empty text, with the one draw a limit of 0 takes.
    const std::uint32_t limit = maxLength_ < 0 ? 0 : static_cast<std::uint32_t>(maxLength_);
    const std::uint32_t length = random_->RandomBelow(limit);
    // A column with a declared size keeps no more characters than that, so the ones past it are
    // drawn but not built: a limit such as 2000000000 must not build a text of that size for
    // every record, and the draws after this value stay the same.
    std::uint32_t built = length;
    if (column_->Size() > 0) {
        built = std::min(length, static_cast<std::uint32_t>(column_->Size()));
    }
    text_.resize(built);
    for (char& c : text_) {
        c = static_cast<char>(kFirstStringChar + random_->RandomBelow(kStringCharCount));
    }
    random_->Skip(length - built);
    column_->WriteString(text_);
}

}  // namespace rowsmith
