#include "fill/generators/range_generator.h"

#include <algorithm>
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
#include "text/errors.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// The check cuts values at these: "-" between the bounds of a range, "," of a decimal comma.
constexpr std::string_view kValueDelimiters = "-,";

constexpr long double kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr long double kInt32Max = std::numeric_limits<std::int32_t>::max();

constexpr long double kInt64Min = std::numeric_limits<std::int64_t>::min();
constexpr long double kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr long double kUint64Max = std::numeric_limits<std::uint64_t>::max();

constexpr long double kPowersOfTen[] = {1, 10, 100, 1000, 10000};

// An integer column is filled with numbers of its own width, 32 or 64 bits; a range beyond them
// is refused as the column refuses a value outside its range, rather than wrapping around.
[[noreturn]] void ThrowOutOfRange(long double value, const std::string& fieldName, bool wide) {
    throw OutOfRangeError(value, fieldName, wide ? kInt64Min : kInt32Min,
                          wide ? kInt64Max : kInt32Max);
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

bool RangeGenerator::SplitSignedRange(const std::string& text, std::string& low,
                                      std::string& high) {
    std::string rest = text;
    const auto signedNumber = [&rest](std::string& number) {
        std::size_t start = 0;
        while (start < rest.size() && IsSpace(rest[start])) {
            ++start;
        }
        number.clear();
        if (start < rest.size() && rest[start] == '-') {
            // The sign touches its number: "- 5" is no bound.
            if (start + 1 == rest.size() || IsSpace(rest[start + 1])) {
                return false;
            }
            number = "-";
            rest.erase(0, start + 1);
        }
        const std::string token = NextToken(rest, kValueDelimiters);
        if (token.empty() || IsDelimiter(token.front(), kValueDelimiters)) {
            return false;
        }
        number += token;
        return true;
    };
    return signedNumber(low) && NextToken(rest, kValueDelimiters) == "-" && signedNumber(high) &&
           TrimSpaces(rest).empty();
}

void RangeGenerator::CheckTakesNumbers(TFieldType type, std::vector<std::string>& misfits) {
    if (type == ftUnknown || type == ftAutoInc || type == ftDate || type == ftTime ||
        type == ftDateTime || RangeMakesIntegers(type) || RangeMakesReals(type)) {
        return;
    }
    misfits.push_back(std::string("a range writes nothing to a column of type ") +
                      FieldTypeName(type) + ": every record gets NULL");
}

bool RangeGenerator::ReadBound(const std::string& text, long double& value) const {
    if (TryStrToFloat(text, value)) {
        return true;
    }
    // The "$" hexadecimal form the integer check takes, at the column's width as it reads it.
    std::int64_t whole = 0;
    std::int32_t narrow = 0;
    if (shape_.wide ? TryStrToInt64(text, whole) : TryStrToInt(text, narrow)) {
        value = shape_.wide ? static_cast<long double>(whole) : narrow;
        return true;
    }
    return false;
}

bool RangeGenerator::ReadBounds(const std::string& text, long double& low,
                                long double& high) const {
    std::string lowText;
    std::string highText;
    if (SplitSignedRange(text, lowText, highText)) {
        return ReadBound(lowText, low) && ReadBound(highText, high);
    }
    return ReadBound(LeftOf("-", text), low) && ReadBound(RightOf("-", text), high);
}

double RangeGenerator::ValueCount(TFieldType type) const {
    long double low = 0;
    long double high = 0;
    if (!ReadBounds(setting_.FillValue(), low, high)) {
        return -1;
    }
    if (high < low) {
        std::swap(low, high);
    }
    long double count = 1;
    if (RangeMakesIntegers(type)) {
        count = std::trunc(high - low);
    } else if (RangeMakesReals(type)) {
        const long double scale = kPowersOfTen[type == ftCurrency ? 2 : 4];
        count = std::ceil(high * scale) - std::ceil(low * scale);
    }
    // Equal bounds give their one value.
    return static_cast<double>(std::max(count, 1.0L));
}

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
    long double low = 0;
    long double high = 0;
    if (!ReadBounds(value, low, high)) {
        // The conversion's own message for the bound it cannot read.
        low = StrToFloat(LeftOf("-", value));
        high = StrToFloat(RightOf("-", value));
    }
    rangeType_ = host_->ColumnType(setting_.FieldName());
    std::uint64_t count = 1;
    if (RangeMakesIntegers(rangeType_)) {
        // Bounds in either order give the numbers between them.
        if (high < low) {
            std::swap(low, high);
        }
        const bool wide = shape_.wide;
        const long double least = wide ? kInt64Min : kInt32Min;
        const long double most = wide ? kInt64Max : kInt32Max;
        const long double base = std::trunc(low);
        const long double span = std::trunc(high - low);
        if (base < least || base > most) {
            ThrowOutOfRange(low, setting_.FieldName(), wide);
        }
        if (std::trunc(high) > most) {
            ThrowOutOfRange(high, setting_.FieldName(), wide);
        }
        if (span > kUint64Max) {
            ThrowOutOfRange(high - low, setting_.FieldName(), wide);
        }
        integerBase_ = static_cast<std::int64_t>(base);
        integerSpan_ = static_cast<std::uint64_t>(span);
        count = std::max<std::uint64_t>(integerSpan_, 1);
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
        if (unique_ && RangeMakesReals(rangeType_)) {
            const long double first = std::ceil(std::min(low, high) * kPowersOfTen[decimals_]);
            const long double units = static_cast<long double>(ValueCount(rangeType_));
            if (first < kInt64Min || first > kInt64Max || units > kUint64Max) {
                throw EInvalidOperation("The range of field '" + setting_.FieldName() +
                                        "' has too many values to give each once");
            }
            lowestUnits_ = static_cast<std::int64_t>(first);
            count = static_cast<std::uint64_t>(units);
        }
    }
    if (unique_) {
        permutation_.emplace(count, *random_);
    }
    prepared_ = true;
}

bool RangeGenerator::DrawWithoutReplacement() {
    unique_ = true;
    Prepare();
    return true;
}

bool RangeGenerator::Exhausted() const {
    return permutation_ && drawn_ >= permutation_->Count();
}

std::uint64_t RangeGenerator::NextUnique() {
    if (Exhausted()) {
        throw EInvalidOperation("Every value of the range of field '" + setting_.FieldName() +
                                "' is used");
    }
    return permutation_->At(drawn_++);
}

std::int64_t RangeGenerator::DrawInteger() {
    std::uint64_t offset;
    if (permutation_) {
        offset = NextUnique();
    } else if (integerSpan_ <= std::numeric_limits<std::uint32_t>::max()) {
        offset = random_->RandomBelow(static_cast<std::uint32_t>(integerSpan_));
    } else {
        // A span past 32 bits takes two draws, a 64-bit fraction of it.
        const std::uint64_t high = random_->NextState();
        const std::uint64_t fraction = (high << 32) | random_->NextState();
        offset = static_cast<std::uint64_t>(
            (static_cast<unsigned __int128>(fraction) * integerSpan_) >> 64);
    }
    // In unsigned arithmetic: the offset of a 64-bit range may pass the signed type's top.
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(integerBase_) + offset);
}

void RangeGenerator::WriteInteger(std::int64_t value) {
    if (value >= std::numeric_limits<std::int32_t>::min() &&
        value <= std::numeric_limits<std::int32_t>::max()) {
        column_->WriteInteger(static_cast<std::int32_t>(value));
    } else {
        AssignDecimal(text_, value);
        column_->WriteString(text_);
    }
}

long double RangeGenerator::UniqueReal(std::uint64_t offset) const {
    const auto units = static_cast<std::int64_t>(static_cast<std::uint64_t>(lowestUnits_) + offset);
    return static_cast<long double>(units) / kPowersOfTen[decimals_];
}

void RangeGenerator::Write() {
    if (!prepared_) {
        Prepare();
    }
    if (writeAsInteger_) {
        WriteInteger(DrawInteger());
    } else if (writeAsReal_) {
        WriteReal();
    } else {
        column_->WriteString(MakeText());
    }
}

void RangeGenerator::WriteReal() {
    if (permutation_) {
        WriteRounded(UniqueReal(NextUnique()));
        return;
    }
    // The same draw and the same rounding as the text, without the text; whole bounds never have
    // more digits than a double holds exactly.
    if (wholeBounds_) {
        column_->WriteFloat(UnitsToReal(WholeUnits(random_->NextState()), decimals_));
        return;
    }
    WriteRounded(realLow_ + random_->RandomFraction() * realSpan_);
}

void RangeGenerator::WriteRounded(long double value) {
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
        if (permutation_) {
            NextUnique();
        }
        text_.clear();
    } else if (permutation_) {
        text_ = FormatFixed(UniqueReal(NextUnique()), decimals_);
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
