#include "fill/generators/master_table_generator.h"

#include "engine/table_cursor.h"
#include "model/fill_field.h"
#include "text/errors.h"
#include "text/text_helpers.h"

namespace rowsmith {

std::optional<TableFieldParts> MasterTableGenerator::MasterColumn() const {
    return SplitTableField(setting_.FillValue());
}

void MasterTableGenerator::Write() {
    if (master_ == nullptr) {
        const TableFieldParts parts = SplitTableField(setting_.FillValue());
        TableCursor* master = host_->FindMasterTable(parts.table);
        if (master == nullptr) {
            throw EInvalidOperation("Master table '" + parts.table + "' is not open");
        }
        masterColumn_ = &master->FieldNamed(parts.field);
        master_ = master;
    }
    column_->WriteValueOf(*masterColumn_);
    master_->Next();
    if (master_->AtEnd()) {
        master_->First();
    }
}

}  // namespace rowsmith
