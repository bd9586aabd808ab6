// RandomRealGenerator: "Real random value from range", reals between lo and hi with four decimals
// (two on a money column); on an integer column the decimals of the bounds are dropped.
#pragma once

#include "fill/generators/range_generator.h"

namespace rowsmith {

class RandomRealGenerator final : public RangeGenerator {
public:
    using RangeGenerator::RangeGenerator;

    // Two numbers with "-" between them.
    bool CheckValue(const std::string& text, const CursorField* column) const override;
    // Known only for a known column: reals at its precision, or integers.
    double DistinctValues() const override;
    void CheckFit(TFieldType type, int size, std::vector<std::string>& misfits) const override;
};

}  // namespace rowsmith
