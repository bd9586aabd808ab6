// AutoIncrementGenerator: "Autoincrement", 1, 2, 3, ... in the order the records are written, from
// the setting's counter (which every table's fill sets back to 1).
#pragma once

#include "fill/generators/column_generator.h"

namespace rowsmith {

class AutoIncrementGenerator final : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    void CheckFit(TFieldType type, int size, std::vector<std::string>& misfits) const override;
    void Write() override;
    // Its counter never gives a number twice in one fill.
    bool DrawWithoutReplacement() override { return true; }
};

}  // namespace rowsmith
