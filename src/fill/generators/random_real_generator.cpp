#include "fill/generators/random_real_generator.h"

#include "text/text_helpers.h"

namespace rowsmith {

bool RandomRealGenerator::CheckValue(const std::string& text, const CursorField*) const {
    return IsRange(text, IsFloat);
}

double RandomRealGenerator::DistinctValues() const {
    return shape_.type != ftUnknown ? ValueCount(shape_.type) : -1;
}

void RandomRealGenerator::CheckFit(TFieldType type, int, std::vector<std::string>& misfits) const {
    CheckNotDateOrTime(type, misfits);
    CheckTakesNumbers(type, misfits);
}

}  // namespace rowsmith
