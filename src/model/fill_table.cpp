#include "model/fill_table.h"

#include <memory>
#include <utility>

namespace rowsmith {

TFillTable::TFillTable(std::string tableName) : tableName_(std::move(tableName)) {}

int TFillTable::FindField(const std::string& name) const {
    for (int i = 0; i < fields_.Count(); ++i) {
        if (fields_.Items(i).FieldName() == name) {
            return i;
        }
    }
    return -1;
}

int TFillTable::AddField(const std::string& name) {
    return fields_.Add(std::make_unique<TFillField>(name));
}

int TFillTable::ArrangeFields(const std::vector<std::string>& columnNames) {
    std::vector<int> order;
    order.reserve(columnNames.size());
    std::vector<bool> taken(static_cast<std::size_t>(fields_.Count()), false);
    for (const std::string& name : columnNames) {
        int index = FindField(name);
        if (index < 0 || taken[static_cast<std::size_t>(index)]) {
            // A column named twice (which no database allows) gets a setting of its own.
            index = AddField(name);
            taken.push_back(false);
        }
        taken[static_cast<std::size_t>(index)] = true;
        order.push_back(index);
    }
    int orphans = 0;
    for (int index = 0; index < fields_.Count(); ++index) {
        if (!taken[static_cast<std::size_t>(index)]) {
            order.push_back(index);
            ++orphans;
        }
    }
    fields_.Reorder(order);
    return orphans;
}

void TFillTable::DeleteFieldsFrom(int index) {
    fields_.Truncate(index);
}

}  // namespace rowsmith
