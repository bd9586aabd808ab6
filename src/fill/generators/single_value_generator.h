// SingleValueGenerator: "Single value", the setting's value in every record.
#pragma once

#include "fill/generators/column_generator.h"

namespace rowsmith {

class SingleValueGenerator final : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    // For a numeric column the value must be a number.
    bool CheckValue(const std::string& text, const CursorField* column) const override;
    double DistinctValues() const override { return 1; }
    void Write() override;
};

}  // namespace rowsmith
