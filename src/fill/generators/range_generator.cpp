#include "fill/generators/range_generator.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "engine/cursor_field.h"
#include "engine/database_errors.h"
#include "fill/random_source.h"
#include "fill/rounded_real.h"
#include "model/fill_field.h"
#include "text/conversions.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// The check cuts values at these: "-" between the bounds of a range, "," of a decimal comma.
constexpr std::string_view kValueDelimiters = "-,";

constexpr long double kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr long double kInt32Max = std::numeric_limits<std::int32_t>::max();

// An integer column is filled with 32-bit numbers; a range beyond them is refused as the column
// refuses a value outside its range, rather than wrapping around.
[[noreturn]] void ThrowOutOfRange(long double value, const std::string& fieldName) {
    throw OutOfRangeError(value, fieldName, kInt32Min, kInt32Max);
}

void AssignDecimal(std::string& text, std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.assign(buffer, result.ptr);
}

bool IsWholeBelow2To31(long double value) {
    return value >= 0 && value < 2147483648.0L && value == std::trunc(value);
}

}  // namespace

bool RangeGenerator::IsRange(const std::string& text, bool (*isNumber)(const std::string&)) {
    std::string rest = text;
    if (!isNumber(NextToken(rest, kValueDelimiters))) {
        return false;
    }
    if (NextToken(rest, kValueDelimiters) != "-") {
        return false;
    }
    if (!isNumber(NextToken(rest, kValueDelimiters))) {
        return false;
    }
    return TrimSpaces(rest).empty();
}

void RangeGenerator::Prepare() {
    const std::string& value = setting_.FillValue();
    long double low = StrToFloat(LeftOf("-", value));
    long double high = StrToFloat(RightOf("-", value));
    rangeType_ = host_->ColumnType(setting_.FieldName());
    if (RangeMakesIntegers(rangeType_)) {
        // Bounds in either order give the numbers between them.
        if (high < low) {
            std::swap(low, high);
        }
        const long double base = std::trunc(low);
        const long double span = std::trunc(high - low);
        if (base < kInt32Min || base > kInt32Max) {
            ThrowOutOfRange(low, setting_.FieldName());
        }
        if (std::trunc(high) > kInt32Max) {
            ThrowOutOfRange(high, setting_.FieldName());
        }
        if (span > kInt32Max) {
            ThrowOutOfRange(high - low, setting_.FieldName());
        }
        integerBase_ = static_cast<std::int32_t>(base);
        integerSpan_ = static_cast<std::uint32_t>(span);
        writeAsInteger_ = column_ != nullptr && StoresIntegers(column_->FieldType());
    } else {
        realLow_ = low;
        realSpan_ = high - low;
        decimals_ = rangeType_ == ftCurrency ? 2 : 4;
        wholeBounds_ = IsWholeBelow2To31(realLow_) && IsWholeBelow2To31(realSpan_);
        writeAsReal_ =
            RangeMakesReals(rangeType_) && column_ != nullptr && StoresReals(column_->FieldType());
        if (wholeBounds_) {
            wholeLow_ = static_cast<std::uint32_t>(realLow_);
            wholeSpan_ = static_cast<std::uint32_t>(realSpan_);
            decimalSeparator_ = DecimalSeparator();
        }
    }
    prepared_ = true;
}

std::int32_t RangeGenerator::DrawInteger() {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(integerBase_) +
                                     random_->RandomBelow(integerSpan_));
}

void RangeGenerator::Write() {
    if (!prepared_) {
        Prepare();
    }
    if (writeAsInteger_) {
        column_->WriteInteger(DrawInteger());
    } else if (writeAsReal_) {
        WriteReal();
    } else {
        column_->WriteString(MakeText());
    }
}

void RangeGenerator::WriteReal() {
    // The same draw and the same rounding as the text, without the text; whole bounds never have
    // more digits than a double holds exactly.
    if (wholeBounds_) {
        column_->WriteFloat(UnitsToReal(WholeUnits(random_->NextState()), decimals_));
        return;
    }
    const long double value = realLow_ + random_->RandomFraction() * realSpan_;
    double number;
    if (RoundedReal(value, decimals_, number)) {
        column_->WriteFloat(number);
    } else {
        text_ = FormatFixed(value, decimals_);
        column_->WriteString(text_);
    }
}

const std::string& RangeGenerator::MakeText() {
    if (!prepared_) {
        Prepare();
    }
    if (RangeMakesIntegers(rangeType_)) {
        AssignDecimal(text_, DrawInteger());
    } else if (!RangeMakesReals(rangeType_)) {
        text_.clear();
    } else if (wholeBounds_) {
        AssignWholeValue(random_->NextState());
    } else {
        text_ = FormatFixed(realLow_ + random_->RandomFraction() * realSpan_, decimals_);
    }
    return text_;
}

// With whole lo and span below 2^31, scaled by 10^decimals and rounded half to even. The sum is
// exact in the extended type (at most 63 significant bits), so it can be worked out in integers.
std::uint64_t RangeGenerator::WholeUnits(std::uint32_t state) const {
    static constexpr std::uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000};
    using Wide = unsigned __int128;
    constexpr std::uint64_t kHalf = std::uint64_t{1} << 31;
    const Wide scaled = ((Wide(wholeLow_) << 32) + Wide(std::uint64_t{wholeSpan_} * state)) *
                        kPowersOfTen[decimals_];
    auto units = static_cast<std::uint64_t>(scaled >> 32);
    const std::uint64_t rest = static_cast<std::uint64_t>(scaled) & 0xFFFFFFFFu;
    if (rest > kHalf || (rest == kHalf && (units & 1) != 0)) {
        ++units;
    }
    return units;
}

// The text of WholeUnits, with the separator put in.
void RangeGenerator::AssignWholeValue(std::uint32_t state) {
    std::uint64_t units = WholeUnits(state);
    const auto places = static_cast<std::size_t>(decimals_);
    // Digits right-aligned in the buffer, with zeros up to one before the separator.
    char buffer[32];
    char* const end = buffer + sizeof buffer;
    char* first = end;
    for (std::size_t written = 0; units != 0 || written <= places; ++written) {
        if (written == places) {
            *--first = decimalSeparator_;
        }
        *--first = static_cast<char>('0' + units % 10);
        units /= 10;
    }
    text_.assign(first, end);
}

}  // namespace rowsmith
