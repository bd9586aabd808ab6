#include "fill/generators/master_random_generator.h"

#include <limits>

#include "engine/table_cursor.h"
#include "fill/random_source.h"
#include "model/fill_field.h"
#include "text/errors.h"
#include "text/text_helpers.h"

namespace rowsmith {

std::optional<TableFieldParts> MasterRandomGenerator::MasterColumn() const {
    return SplitTableField(setting_.FillValue());
}

void MasterRandomGenerator::Write() {
    if (!rows_) {
        const TableFieldParts parts = SplitTableField(setting_.FillValue());
        TableCursor* master = host_->MasterTableOf(setting_);
        if (master == nullptr) {
            throw EInvalidOperation("Master table '" + parts.table + "' is not open");
        }
        rows_ = std::make_unique<MasterColumnCopy>(*master, master->FieldNamed(parts.field),
                                                   host_->MasterPages());
    }
    if (rows_->Rows() == 0) {
        // As the values from an empty master table: nothing to take, the column is left empty.
        column_->WriteString({});
        return;
    }
    rows_->WriteRow(DrawRow(), *column_);
}

std::int64_t MasterRandomGenerator::DrawRow() {
    const auto rows = static_cast<std::uint64_t>(rows_->Rows());
    if (rows <= std::numeric_limits<std::uint32_t>::max()) {
        return random_->RandomBelow(static_cast<std::uint32_t>(rows));
    }
    // Past 2^32 rows one draw cannot reach them all; two make a 64-bit number whose remainder is
    // uneven by less than rows / 2^64.
    const std::uint64_t high = random_->NextState();
    return static_cast<std::int64_t>(((high << 32) | random_->NextState()) % rows);
}

}  // namespace rowsmith
