// DateRangeGenerator: "Date/time random value from range", a date, time or both drawn uniformly
// from the setting's range "lo - hi" (text/date_bounds.h), both bounds included, at the column's
// precision: whole days for a date column, seconds for a time or date-and-time column, with the
// fractions of a second the bounds give where the column keeps them (at most six digits). The
// bounds may come in either order. A text column gets the value as ISO 8601 text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "fill/generators/column_generator.h"
#include "fill/range_permutation.h"
#include "text/civil_time.h"

namespace rowsmith {

class DateRangeGenerator final : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    // Two bounds with " - " between them that the column can take.
    bool CheckValue(const std::string& text, const CursorField* column) const override;
    std::string Refusal(const std::string& text, const CursorField* column) const override;
    double DistinctValues() const override;
    // A column of neither date, time nor text fails, as does a range of the wrong kind.
    void CheckFit(TFieldType type, int size, std::vector<std::string>& misfits) const override;
    // A range reaching past what the column takes fails.
    void CheckSpan(TFieldType type, std::int64_t firstSecond, std::int64_t lastSecond,
                   std::vector<std::string>& misfits) const override;
    void Write() override;
    // Unique values take each unit of the range once, in a shuffled order that costs no memory.
    bool DrawWithoutReplacement() override;
    bool Exhausted() const override;

private:
    // What "now" and "today" stand for in the questions before a fill.
    DateTimeValue CheckNow() const;
    void Prepare();

    bool prepared_ = false;
    // The values are low_ + a draw below span_ + 1, in units of unitNanos_ (a day for dates).
    std::int64_t low_ = 0;
    std::uint64_t span_ = 0;
    std::int64_t unitNanos_ = 0;
    std::int64_t unitsPerDay_ = 0;
    // For unique values: the order of the draws, and how many were given.
    std::unique_ptr<RangePermutation> order_;
    std::uint64_t given_ = 0;
    // The value written, kept from record to record: its parts, digits and zone stay.
    DateTimeValue value_;
};

}  // namespace rowsmith
