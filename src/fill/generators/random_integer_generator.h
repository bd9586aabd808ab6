// RandomIntegerGenerator: "Integer random value from range", integers from trunc(lo) up to, but
// not including, trunc(hi) on an integer column (a real on a real or money column).
#pragma once

#include "fill/generators/range_generator.h"

namespace rowsmith {

class RandomIntegerGenerator final : public RangeGenerator {
public:
    using RangeGenerator::RangeGenerator;

    // Two integers with "-" between them.
    bool CheckValue(const std::string& text, const CursorField* column) const override;
    double DistinctValues() const override;
    // Bounds beyond what an integer column keeps fail; so does any date or time column.
    void CheckFit(TFieldType type, int size, std::vector<std::string>& misfits) const override;
};

}  // namespace rowsmith
