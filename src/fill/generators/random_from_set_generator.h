// RandomFromSetGenerator: "Random value from a set", one item of the setting's value set per
// record, each item equally likely; an empty set gives the empty text. Drawing without
// replacement, it shuffles the set's distinct items as it goes and gives each once.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "fill/generators/column_generator.h"

namespace rowsmith {

class RandomFromSetGenerator final : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    bool DrawsAtRandom() const override { return true; }
    double DistinctValues() const override;
    void Write() override;
    bool DrawWithoutReplacement() override;
    bool Exhausted() const override;

private:
    bool unique_ = false;
    // Drawing without replacement: the distinct items, those before `given_` already written.
    std::vector<std::string> left_;
    std::size_t given_ = 0;
};

}  // namespace rowsmith
