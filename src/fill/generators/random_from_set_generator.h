// RandomFromSetGenerator: "Random value from a set", one item of the setting's value set per
// record, each item equally likely; an empty set gives the empty text.
#pragma once

#include <string>

#include "fill/generators/column_generator.h"

namespace rowsmith {

class RandomFromSetGenerator final : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    double DistinctValues() const override;
    void Write() override;
};

}  // namespace rowsmith
