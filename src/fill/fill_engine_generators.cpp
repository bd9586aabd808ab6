// FillEngine: the value generators. Each makes the value of one column for one record from the
// setting at the same position, with a fixed number of random draws, so that a fill is repeatable
// from its seed. What a generator derives from its setting is worked out at its first call (where
// a bad setting raises its error) and kept in the column's plan.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "engine/database_errors.h"
#include "fill/fill_engine.h"
#include "fill/rounded_real.h"
#include "text/conversions.h"
#include "text/errors.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// The 47 characters of a random string run from the digit zero to the circumflex.
constexpr char kFirstStringChar = '0';
constexpr std::uint32_t kStringCharCount = 47;

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

// lo + (state / 2^32) * span with whole lo and span below 2^31, scaled by 10^decimals and rounded
// half to even: the digits FormatFixed writes for it. The sum is exact in the extended type (at
// most 63 significant bits), so it can be worked out in integers.
std::uint64_t WholeRangeUnits(const ColumnPlan& plan, std::uint32_t state) {
    static constexpr std::uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000};
    using Wide = unsigned __int128;
    constexpr std::uint64_t kHalf = std::uint64_t{1} << 31;
    const Wide scaled =
        ((Wide(plan.wholeLow) << 32) + Wide(std::uint64_t{plan.wholeSpan} * state)) *
        kPowersOfTen[plan.decimals];
    auto units = static_cast<std::uint64_t>(scaled >> 32);
    const std::uint64_t rest = static_cast<std::uint64_t>(scaled) & 0xFFFFFFFFu;
    if (rest > kHalf || (rest == kHalf && (units & 1) != 0)) {
        ++units;
    }
    return units;
}

// The text of WholeRangeUnits, with the separator put in.
void AssignWholeRangeValue(ColumnPlan& plan, std::uint32_t state) {
    std::uint64_t units = WholeRangeUnits(plan, state);
    const auto places = static_cast<std::size_t>(plan.decimals);
    // Digits right-aligned in the buffer, with zeros up to one before the separator.
    char buffer[32];
    char* const end = buffer + sizeof buffer;
    char* first = end;
    for (std::size_t written = 0; units != 0 || written <= places; ++written) {
        if (written == places) {
            *--first = plan.decimalSeparator;
        }
        *--first = static_cast<char>('0' + units % 10);
        units /= 10;
    }
    plan.text.assign(first, end);
}

}  // namespace

ColumnPlan& FillEngine::PlanFor(int index) {
    TFillField& setting = Current().Fields().Items(index);
    const auto position = static_cast<std::size_t>(index);
    if (plan_.size() <= position) {
        plan_.resize(position + 1);
    }
    ColumnPlan& plan = plan_[position];
    if (plan.setting != &setting) {
        plan = ColumnPlan{};
        plan.setting = &setting;
        plan.method = setting.FillMethod();
    }
    return plan;
}

std::string FillEngine::RandomRangeValue(int index) {
    return MakeRangeValue(PlanFor(index));
}

const std::string& FillEngine::MakeSetValue(ColumnPlan& plan) {
    const std::vector<std::string>& items = plan.setting->ValueSet();
    if (items.empty()) {
        plan.text.clear();
        return plan.text;
    }
    return items[random_.RandomBelow(static_cast<std::uint32_t>(items.size()))];
}

void FillEngine::PrepareRange(ColumnPlan& plan) {
    const std::string& value = plan.setting->FillValue();
    long double low = StrToFloat(LeftOf("-", value));
    long double high = StrToFloat(RightOf("-", value));
    plan.rangeType = workTable_.FieldNamed(plan.setting->FieldName()).FieldType();
    if (RangeMakesIntegers(plan.rangeType)) {
        // Bounds in either order give the numbers between them.
        if (high < low) {
            std::swap(low, high);
        }
        const long double base = std::trunc(low);
        const long double span = std::trunc(high - low);
        if (base < kInt32Min || base > kInt32Max) {
            ThrowOutOfRange(low, plan.setting->FieldName());
        }
        if (std::trunc(high) > kInt32Max) {
            ThrowOutOfRange(high, plan.setting->FieldName());
        }
        if (span > kInt32Max) {
            ThrowOutOfRange(high - low, plan.setting->FieldName());
        }
        plan.integerBase = static_cast<std::int32_t>(base);
        plan.integerSpan = static_cast<std::uint32_t>(span);
        plan.writeAsInteger = plan.column != nullptr && StoresIntegers(plan.column->FieldType());
    } else {
        plan.realLow = low;
        plan.realSpan = high - low;
        plan.decimals = plan.rangeType == ftCurrency ? 2 : 4;
        plan.wholeBounds = IsWholeBelow2To31(plan.realLow) && IsWholeBelow2To31(plan.realSpan);
        plan.writeAsReal = RangeMakesReals(plan.rangeType) && plan.column != nullptr &&
                           StoresReals(plan.column->FieldType());
        if (plan.wholeBounds) {
            plan.wholeLow = static_cast<std::uint32_t>(plan.realLow);
            plan.wholeSpan = static_cast<std::uint32_t>(plan.realSpan);
            plan.decimalSeparator = DecimalSeparator();
        }
    }
    plan.prepared = ColumnPlan::Prepared::Range;
}

std::int32_t FillEngine::DrawRangeInteger(ColumnPlan& plan) {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(plan.integerBase) +
                                     random_.RandomBelow(plan.integerSpan));
}

void FillEngine::WriteRangeValue(ColumnPlan& plan) {
    if (plan.prepared != ColumnPlan::Prepared::Range) {
        PrepareRange(plan);
    }
    if (plan.writeAsInteger) {
        plan.column->WriteInteger(DrawRangeInteger(plan));
    } else if (plan.writeAsReal) {
        WriteRangeReal(plan);
    } else {
        plan.column->WriteString(MakeRangeValue(plan));
    }
}

void FillEngine::WriteRangeReal(ColumnPlan& plan) {
    // The same draw and the same rounding as the text, without the text; whole bounds never have
    // more digits than a double holds exactly.
    if (plan.wholeBounds) {
        plan.column->WriteFloat(
            UnitsToReal(WholeRangeUnits(plan, random_.NextState()), plan.decimals));
        return;
    }
    const long double value = plan.realLow + random_.RandomFraction() * plan.realSpan;
    double number;
    if (RoundedReal(value, plan.decimals, number)) {
        plan.column->WriteFloat(number);
    } else {
        plan.text = FormatFixed(value, plan.decimals);
        plan.column->WriteString(plan.text);
    }
}

const std::string& FillEngine::MakeRangeValue(ColumnPlan& plan) {
    if (plan.prepared != ColumnPlan::Prepared::Range) {
        PrepareRange(plan);
    }
    if (RangeMakesIntegers(plan.rangeType)) {
        AssignDecimal(plan.text, DrawRangeInteger(plan));
    } else if (!RangeMakesReals(plan.rangeType)) {
        plan.text.clear();
    } else if (plan.wholeBounds) {
        AssignWholeRangeValue(plan, random_.NextState());
    } else {
        plan.text =
            FormatFixed(plan.realLow + random_.RandomFraction() * plan.realSpan, plan.decimals);
    }
    return plan.text;
}

const std::string& FillEngine::MakeRandomString(ColumnPlan& plan) {
    if (plan.prepared != ColumnPlan::Prepared::String) {
        plan.maxLength = StrToInt(plan.setting->FillValue());
        plan.prepared = ColumnPlan::Prepared::String;
    }
    // A negative limit makes the empty text, with the one draw a limit of 0 takes.
    const std::uint32_t limit = plan.maxLength < 0 ? 0 : static_cast<std::uint32_t>(plan.maxLength);
    const std::uint32_t length = random_.RandomBelow(limit);
    // A column with a declared size keeps no more characters than that, so the ones past it are
    // drawn but not built: a limit such as 2000000000 must not build a text of that size for
    // every record, and the draws after this value stay the same.
    std::uint32_t built = length;
    if (plan.column != nullptr && plan.column->Size() > 0) {
        built = std::min(length, static_cast<std::uint32_t>(plan.column->Size()));
    }
    plan.text.resize(built);
    for (char& c : plan.text) {
        c = static_cast<char>(kFirstStringChar + random_.RandomBelow(kStringCharCount));
    }
    random_.Skip(length - built);
    return plan.text;
}

void FillEngine::PrepareMaster(ColumnPlan& plan) {
    const TableFieldParts parts = SplitTableField(plan.setting->FillValue());
    plan.master = FindMasterTable(parts.table);
    if (plan.master == nullptr) {
        throw EInvalidOperation("Master table '" + parts.table + "' is not open");
    }
    plan.masterColumn = &plan.master->FieldNamed(parts.field);
    plan.prepared = ColumnPlan::Prepared::Master;
}

void FillEngine::WriteMasterValue(ColumnPlan& plan) {
    if (plan.prepared != ColumnPlan::Prepared::Master) {
        PrepareMaster(plan);
    }
    plan.column->WriteValueOf(*plan.masterColumn);
    plan.master->Next();
    if (plan.master->AtEnd()) {
        plan.master->First();
    }
}

}  // namespace rowsmith
