// MasterTableGenerator: "The values from the master table", the values of the column "Table.Field"
// of another table, row by row in that table's order, round to its first row after the last. The
// fill engine opens the master cursors; the first one on the setting's table serves it.
#pragma once

#include "fill/generators/column_generator.h"

namespace rowsmith {

class MasterTableGenerator final : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    std::optional<TableFieldParts> MasterColumn() const override;
    void Write() override;

private:
    TableCursor* master_ = nullptr;
    CursorField* masterColumn_ = nullptr;
};

}  // namespace rowsmith
