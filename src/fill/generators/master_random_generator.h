// MasterRandomGenerator: "Random value from the master table", for each record the value of a
// random row of the column "Table.Field" of another table, every row equally likely. Filled
// from a parent's key, a child never refers to a missing parent. The column is read once per
// fill through the master cursor opened for this setting alone (MasterColumnCopy).
#pragma once

#include <memory>

#include "fill/generators/column_generator.h"
#include "fill/master_column_copy.h"

namespace rowsmith {

class MasterRandomGenerator final : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    std::optional<TableFieldParts> MasterColumn() const override;
    // Rows are drawn with replacement: a unique column is kept unique by the writer.
    bool DrawsAtRandom() const override { return true; }
    void Write() override;

private:
    std::int64_t DrawRow();

    std::unique_ptr<MasterColumnCopy> rows_;
};

}  // namespace rowsmith
