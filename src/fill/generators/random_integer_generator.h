// RandomIntegerGenerator: "Integer random value from range", integers from trunc(lo) up to, but
// not including, trunc(hi) on an integer column (a real on a real or money column). Bounds may be
// negative ("-5 - 5"), and on a 64-bit column reach past the 32-bit range.
#pragma once

#include "fill/generators/range_generator.h"

namespace rowsmith {

class RandomIntegerGenerator final : public RangeGenerator {
public:
    using RangeGenerator::RangeGenerator;

    // Two integers with "-" between them, each within 32 bits, or 64 on a 64-bit column.
    bool CheckValue(const std::string& text, const CursorField* column) const override;
    double DistinctValues() const override;
    // Bounds beyond what an integer column keeps fail; so does any date or time column.
    void CheckFit(TFieldType type, int size, std::vector<std::string>& misfits) const override;
};

}  // namespace rowsmith
