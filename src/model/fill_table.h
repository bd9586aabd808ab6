// TFillTable: how one table of a scenario is filled, with its column settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/ff_list.h"

namespace rowsmith {

// A setting and a column whose names differ only in letter case, where binding could have gone
// two ways: two settings could serve one column (`betweenSettings`), or one setting two columns.
// `name` is the one that had the choice, `first` the one it took and `second` the other.
struct CaseConflict {
    bool betweenSettings = true;
    std::string name;
    std::string first;
    std::string second;
};

// What ArrangeFields found besides the order.
struct FieldArrangement {
    // Settings that no column takes.
    int orphans = 0;
    // The first choice that letter case alone could not make, if any.
    std::optional<CaseConflict> conflict;
};

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
    // Whether the table was read from a scenario file that has no "Fields" line for it. Every
    // file Rowsmith writes has one, so a table read without it comes from a file cut short or
    // damaged by hand, and its settings are lost rather than chosen.
    bool FieldListMissing() const { return fieldListMissing_; }
    void SetFieldListMissing(bool missing) { fieldListMissing_ = missing; }

    // The position of the first setting named exactly so (letter case counts), or -1.
    int FindField(const std::string& name) const;
    // Appends a new setting without looking for duplicates; gives its position.
    int AddField(const std::string& name);
    // Puts the settings in the order of the table's columns, `columnNames`: column i gets the
    // first setting named exactly like it; failing that, the first one left whose name differs
    // from the column's only in letter case; failing that, a new do-not-fill setting. Settings
    // that no column takes (their column is gone, or a second setting of one name) follow all
    // the others in their former order. Settings that already follow the columns stay as they
    // are. Where letter case leaves a choice, the first candidate is taken and the choice is
    // told in the result.
    FieldArrangement ArrangeFields(const std::vector<std::string>& columnNames);
    // Removes the settings from position `index` on. REQUIRES: 0 <= index <= Fields().Count().
    void DeleteFieldsFrom(int index);

private:
    TFFList fields_;
    std::string tableName_;
    std::int32_t tableFillMethod_ = 0;
    std::int32_t recCount_ = 100;
    bool fieldListMissing_ = false;
};

}  // namespace rowsmith
