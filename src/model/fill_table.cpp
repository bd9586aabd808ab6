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

}  // namespace rowsmith
