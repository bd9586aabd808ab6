// RandomStringGenerator: "Random string", a string of random characters from the digit zero to
// the circumflex, shorter than the setting's length limit.
#pragma once

#include <cstdint>
#include <string>

#include "fill/generators/column_generator.h"

namespace rowsmith {

class RandomStringGenerator final : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    // The limit is an integer.
    bool CheckValue(const std::string& text, const CursorField* column) const override;
    bool DrawsAtRandom() const override { return true; }
    // The strings of every length the limit allows, cut to the column's size where it has one;
    // the empty one (NULL) not counted.
    double DistinctValues() const override;
    // Each length is equally likely, so two short strings meet far more often than two long
    // ones.
    double RepeatChance() const override;
    // A limit past the column's declared size cuts the longer strings; a date or time column
    // takes none.
    void CheckFit(TFieldType type, int size, std::vector<std::string>& misfits) const override;
    void Write() override;

private:
    bool prepared_ = false;
    // A negative limit gives the empty text.
    std::int32_t maxLength_ = 0;
    // The value made last, kept so its storage is reused from record to record.
    std::string text_;
};

}  // namespace rowsmith
