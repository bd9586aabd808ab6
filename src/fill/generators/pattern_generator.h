// PatternGenerator: "Text from a pattern", the setting's pattern (fill/text_pattern.h) with every
// placeholder replaced, one text per record. A name between braces is a column of the same table
// when the table has one of that name (compared without regard to case), else a value library;
// a column's value is what this record writes to it, so the fill makes it first.
#pragma once

#include <string>
#include <vector>

#include "fill/generators/column_generator.h"
#include "fill/text_pattern.h"

namespace rowsmith {

class ValueLibrary;

class PatternGenerator final : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    // A pattern whose braces pair up, whose names are columns or libraries that can serve, and
    // whose columns do not come back to this one.
    bool CheckValue(const std::string& text, const CursorField* column) const override;
    std::string Refusal(const std::string& text, const CursorField* column) const override;
    double DistinctValues() const override;
    // A pattern the check refuses fails, and results longer than the column keeps are cut.
    void CheckFit(TFieldType type, int size, std::vector<std::string>& misfits) const override;
    std::vector<std::string> ReferencedColumns() const override;
    std::int64_t LongestText() const override;
    void Write() override;

private:
    // Where a name's values come from during a fill: one of the two.
    struct NameSource {
        const ValueLibrary* library = nullptr;
        const CursorField* column = nullptr;
    };

    // The position of the table's column `name`, -1 when it has none.
    int ColumnIndex(const std::string& name) const;
    // The setting of the table's column `name`, or null.
    const TFillField* SettingOf(const std::string& name) const;
    // The columns of `pattern`'s names.
    std::vector<std::string> Columns(const TextPattern& pattern) const;
    // The path round which `columns` lead back to this setting's column ("a -> b -> a"), or empty.
    std::string Circle(const std::vector<std::string>& columns) const;
    void Prepare();

    bool prepared_ = false;
    TextPattern pattern_;
    // One for each piece of pattern_.
    std::vector<NameSource> names_;
    std::string text_;
};

}  // namespace rowsmith
