// RangeGenerator: the part the two range methods share, a random value from the setting's range
// "lo - hi". The type of the column named like the setting decides the form of the value:
// integers for an integer column, reals with four decimals (two for money) for a real or money
// column, the empty text for any other. The fill engine makes one on its own to preview the texts
// a range gives.
#pragma once

#include <cstdint>
#include <string>

#include "fill/generators/column_generator.h"

namespace rowsmith {

class RangeGenerator : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    // Writes the next value: integers and reals as numbers where the column stores them as it
    // would store their texts, else the text.
    void Write() override;
    // The next value as text, with one random draw. REQUIRES: Start.
    const std::string& MakeText();

protected:
    // A range: number, "-", number and nothing but white space after. Since "-" cuts the text, a
    // bound cannot carry a minus sign.
    static bool IsRange(const std::string& text, bool (*isNumber)(const std::string&));

private:
    void Prepare();
    // REQUIRES: prepared for an integer range.
    std::int32_t DrawInteger();
    // REQUIRES: prepared for a real range on a column that stores reals.
    void WriteReal();
    // lo + (state / 2^32) * span for whole bounds, as the digits FormatFixed writes for it.
    std::uint64_t WholeUnits(std::uint32_t state) const;
    void AssignWholeValue(std::uint32_t state);

    bool prepared_ = false;
    TFieldType rangeType_ = ftUnknown;
    std::int32_t integerBase_ = 0;   // integer columns: trunc(lo)
    std::uint32_t integerSpan_ = 0;  // integer columns: trunc(hi - lo)
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
    // The value made last, kept so its storage is reused from record to record.
    std::string text_;
};

}  // namespace rowsmith
