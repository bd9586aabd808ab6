#include "fill/master_column_copy.h"

#include <limits>

#include "engine/cursor_field.h"
#include "engine/page_budget.h"
#include "engine/table_cursor.h"
#include "text/errors.h"

namespace rowsmith {

MasterColumnCopy::MasterColumnCopy(TableCursor& cursor, const CursorField& column,
                                   PageBudget& budget)
    : cursor_(cursor), column_(column), budget_(budget) {
    const std::int64_t counted = cursor_.CountRecords();
    kept_ = ReadAll(counted);
    if (!kept_) {
        GiveBack();
        rows_ = counted;
        if (rows_ < 0) {
            rows_ = 0;
            for (cursor_.First(); !cursor_.AtEnd(); cursor_.Next()) {
                ++rows_;
            }
        }
    }
}

MasterColumnCopy::~MasterColumnCopy() {
    GiveBack();
}

bool MasterColumnCopy::ReadAll(std::int64_t counted) {
    // The places of the counted rows are taken at once: a table whose rows cannot all have one
    // is not read at all, and the list does not grow past them.
    std::size_t places = 0;
    if (counted >= 0) {
        places = static_cast<std::size_t>(counted);
        if (places > std::numeric_limits<std::size_t>::max() / sizeof(std::string) ||
            !budget_.Take(places * sizeof(std::string))) {
            return false;
        }
        bytes_ = places * sizeof(std::string);
        values_.reserve(places);
    }
    for (cursor_.First(); !cursor_.AtEnd(); cursor_.Next()) {
        std::string value = column_.ReadString();
        const std::size_t bytes =
            value.size() + (values_.size() < places ? 0 : sizeof(std::string));
        if (!budget_.Take(bytes)) {
            return false;
        }
        bytes_ += bytes;
        values_.push_back(std::move(value));
    }
    rows_ = static_cast<std::int64_t>(values_.size());
    return true;
}

void MasterColumnCopy::GiveBack() {
    budget_.Give(bytes_);
    bytes_ = 0;
    values_.clear();
    values_.shrink_to_fit();
}

void MasterColumnCopy::WriteRow(std::int64_t position, CursorField& target) {
    if (kept_) {
        target.WriteString(values_[static_cast<std::size_t>(position)]);
        return;
    }
    if (!cursor_.MoveTo(position, rows_)) {
        throw EInvalidOperation("Master table '" + cursor_.TableName() +
                                "' lost records during the fill");
    }
    target.WriteValueOf(column_);
}

}  // namespace rowsmith
