// RangeGenerator: the part the two range methods share, a random value from the setting's range
// "lo - hi". The type of the column named like the setting decides the form of the value:
// integers for an integer column, reals with four decimals (two for money) for a real or money
// column, the empty text for any other. The fill engine makes one on its own to preview the texts
// a range gives.
//
// Drawing without replacement, the range's values at the column's precision are taken in a
// shuffled order (RangePermutation), each once, in constant memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "fill/generators/column_generator.h"
#include "fill/range_permutation.h"

namespace rowsmith {

class RangeGenerator : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    bool DrawsAtRandom() const override { return true; }
    // Writes the next value: integers and reals as numbers where the column stores them as it
    // would store their texts, else the text.
    void Write() override;
    // The next value as text, with one random draw. REQUIRES: Start.
    const std::string& MakeText();
    bool DrawWithoutReplacement() override;
    bool Exhausted() const override;

protected:
    // A range: number, "-", number and nothing but white space after. Since "-" cuts the text, a
    // bound cannot carry a minus sign.
    static bool IsRange(const std::string& text, bool (*isNumber)(const std::string&));
    // The bounds of a range whose bounds may carry a minus sign ("-5 - 5", "-20 - -10"): a sign
    // touches its number, and a blank stands between the separating "-" and a sign after it.
    // False when the text has not that form; the bounds are not checked.
    static bool SplitSignedRange(const std::string& text, std::string& low, std::string& high);
    // The number of values the range gives on a column of `type`: integers for the integer
    // types, reals at four decimals (two for money) for the real ones, one (the empty text) for
    // any other; -1 when the bounds are no numbers.
    double ValueCount(TFieldType type) const;
    // The misfit of a column a range writes nothing to, so NULL: one of neither number group
    // (a decimal, text, truth value or bytes) other than a date or time column, which fails
    // instead, or a key the database numbers, which is meant to get nothing.
    static void CheckTakesNumbers(TFieldType type, std::vector<std::string>& misfits);
    // The bounds as numbers, in the order written; false when either is no number.
    bool ReadBounds(const std::string& text, long double& low, long double& high) const;

private:
    bool ReadBound(const std::string& text, long double& value) const;
    void Prepare();
    // The offset of the next value from the range's lowest one, without replacement.
    std::uint64_t NextUnique();
    // REQUIRES: prepared for an integer range.
    std::int64_t DrawInteger();
    void WriteInteger(std::int64_t value);
    // REQUIRES: prepared for a real range on a column that stores reals.
    void WriteReal();
    // `value` at the range's decimals, as a real where a double holds it exactly, else as text.
    void WriteRounded(long double value);
    // lo + (state / 2^32) * span for whole bounds, as the digits FormatFixed writes for it.
    std::uint64_t WholeUnits(std::uint32_t state) const;
    void AssignWholeValue(std::uint32_t state);
    // Unique reals: the value `units` / 10^decimals.
    long double UniqueReal(std::uint64_t offset) const;

    bool prepared_ = false;
    TFieldType rangeType_ = ftUnknown;
    std::int64_t integerBase_ = 0;   // integer columns: trunc(lo)
    std::uint64_t integerSpan_ = 0;  // integer columns: trunc(hi - lo)
    // An integer value for a column that stores it as it would store its digits.
    bool writeAsInteger_ = false;
    long double realLow_ = 0;   // real and currency columns: lo
    long double realSpan_ = 0;  // real and currency columns: hi - lo
    int decimals_ = 0;          // real columns 4, currency columns 2
    // A real value for a column that stores it as it would store its text.
    bool writeAsReal_ = false;
    // Whole bounds below 2^31 (as in "0 - 1000") let the value be worked out in integers.
    bool wholeBounds_ = false;
    std::uint32_t wholeLow_ = 0;
    std::uint32_t wholeSpan_ = 0;
    char decimalSeparator_ = '.';
    // Drawing without replacement: the shuffled order, how many of its values were given, and
    // for reals the lowest value in units of the last decimal.
    bool unique_ = false;
    std::optional<RangePermutation> permutation_;
    std::uint64_t drawn_ = 0;
    std::int64_t lowestUnits_ = 0;
    // The value made last, kept so its storage is reused from record to record.
    std::string text_;
};

}  // namespace rowsmith
