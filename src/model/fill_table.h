// TFillTable: how one table of a scenario is filled, with its column settings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/ff_list.h"

namespace rowsmith {

class TFillTable {
public:
    explicit TFillTable(std::string tableName);

    TFFList& Fields() { return fields_; }
    const TFFList& Fields() const { return fields_; }
    const std::string& TableName() const { return tableName_; }

    std::int32_t TableFillMethod() const { return tableFillMethod_; }
    void SetTableFillMethod(std::int32_t code) { tableFillMethod_ = code; }
    std::int32_t RecCount() const { return recCount_; }
    void SetRecCount(std::int32_t count) { recCount_ = count; }

    // The position of the first setting named exactly so (letter case counts), or -1.
    int FindField(const std::string& name) const;
    // Appends a new setting without looking for duplicates; gives its position.
    int AddField(const std::string& name);
    // Puts the settings in the order of the table's columns, `columnNames`: column i gets the
    // first setting named exactly like it (letter case counts), or a new do-not-fill setting.
    // Settings that no column takes (their column is gone, or a second setting of one name) follow
    // all the others in their former order; gives their number. Settings that already follow the
    // columns stay as they are.
    int ArrangeFields(const std::vector<std::string>& columnNames);
    // Removes the settings from position `index` on. REQUIRES: 0 <= index <= Fields().Count().
    void DeleteFieldsFrom(int index);

private:
    TFFList fields_;
    std::string tableName_;
    std::int32_t tableFillMethod_ = 0;
    std::int32_t recCount_ = 100;
};

}  // namespace rowsmith
