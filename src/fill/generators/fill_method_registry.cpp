#include "fill/generators/fill_method_registry.h"

#include <array>

#include "fill/generators/auto_increment_generator.h"
#include "fill/generators/date_range_generator.h"
#include "fill/generators/dont_fill_generator.h"
#include "fill/generators/library_generator.h"
#include "fill/generators/master_random_generator.h"
#include "fill/generators/master_table_generator.h"
#include "fill/generators/pattern_generator.h"
#include "fill/generators/random_from_set_generator.h"
#include "fill/generators/random_integer_generator.h"
#include "fill/generators/random_real_generator.h"
#include "fill/generators/random_string_generator.h"
#include "fill/generators/single_value_generator.h"
#include "model/fill_field.h"
#include "model/fill_methods.h"

namespace rowsmith {

namespace {

template <class Generator>
std::unique_ptr<ColumnGenerator> Make(TFillField& setting) {
    return std::make_unique<Generator>(setting);
}

using enum ValueEditor;

// The captions and hints are the program's own texts, spelling included.
constexpr std::array<FillMethodEntry, 12> kMethods = {{
    {.code = fmDontFill,
     .caption = "Don't fill it",
     .hint = "The values of field will not be changed",
     .writes = false,
     .typed = false,
     .editor = None,
     .makeGenerator = Make<DontFillGenerator>},
    {.code = fmSingleValue,
     .caption = "Single value",
     .hint = "All records will have the same value for thid field",
     .writes = true,
     .typed = true,
     .editor = None,
     .makeGenerator = Make<SingleValueGenerator>},
    {.code = fmRandomFromSet,
     .caption = "Random value from a set",
     .hint = "The value for this field will be chosed from the set by random way",
     .writes = true,
     .typed = false,
     .editor = ValueSet,
     .makeGenerator = Make<RandomFromSetGenerator>},
    {.code = fmRandomInteger,
     .caption = "Integer random value from range",
     .hint = "This field will be filled by integer random values from the range",
     .writes = true,
     .typed = true,
     .editor = None,
     .makeGenerator = Make<RandomIntegerGenerator>},
    {.code = fmRandomReal,
     .caption = "Real random value from range",
     .hint = "This field will be filled by real random values from the range",
     .writes = true,
     .typed = true,
     .editor = None,
     .makeGenerator = Make<RandomRealGenerator>},
    {.code = fmAutoIncrement,
     .caption = "Autoincrement",
     .hint = "Autoincrement from the specified value",
     .writes = true,
     .typed = true,
     .editor = None,
     .makeGenerator = Make<AutoIncrementGenerator>},
    {.code = fmRandomString,
     .caption = "Random string",
     .hint = "Random string value with defined maximum length",
     .writes = true,
     .typed = true,
     .editor = None,
     .makeGenerator = Make<RandomStringGenerator>},
    {.code = fmMasterTable,
     .caption = "The values from the master table",
     .hint = "Take values from the field of another table",
     .writes = true,
     .typed = true,
     .editor = MasterField,
     .makeGenerator = Make<MasterTableGenerator>},
    {.code = fmDateRange,
     .caption = "Date/time random value from range",
     .hint = "This field will be filled by random dates or times from the range",
     .writes = true,
     .typed = true,
     .editor = DateRange,
     .makeGenerator = Make<DateRangeGenerator>},
    {.code = fmLibrary,
     .caption = "Random value from a library",
     .hint = "The value for this field will be drawn from a library of values",
     .writes = true,
     .typed = true,
     .editor = None,
     .makeGenerator = Make<LibraryGenerator>},
    {.code = fmPattern,
     .caption = "Text from a pattern",
     .hint = "This field will be filled by text made from a pattern",
     .writes = true,
     .typed = true,
     .editor = None,
     .makeGenerator = Make<PatternGenerator>},
    {.code = fmMasterRandom,
     .caption = "Random value from the master table",
     .hint = "The value for this field will be taken from a random row of another table's field",
     .writes = true,
     .typed = true,
     .editor = MasterField,
     .makeGenerator = Make<MasterRandomGenerator>},
}};

constexpr bool CodesInOrder() {
    for (std::size_t i = 0; i < kMethods.size(); ++i) {
        if (kMethods[i].code != static_cast<std::int32_t>(i)) {
            return false;
        }
    }
    return true;
}
static_assert(CodesInOrder(), "FindFillMethod finds entry i at code i");

}  // namespace

std::span<const FillMethodEntry> FillMethods() {
    return kMethods;
}

const FillMethodEntry* FindFillMethod(std::int32_t code) {
    if (code < 0 || static_cast<std::size_t>(code) >= kMethods.size()) {
        return nullptr;
    }
    return &kMethods[static_cast<std::size_t>(code)];
}

bool WritesValues(std::int32_t code) {
    const FillMethodEntry* method = FindFillMethod(code);
    return method != nullptr && method->writes;
}

std::unique_ptr<ColumnGenerator> MakeGenerator(TFillField& setting, const ValueSources* sources) {
    const FillMethodEntry* method = FindFillMethod(setting.FillMethod());
    if (method == nullptr) {
        return nullptr;
    }
    std::unique_ptr<ColumnGenerator> generator = method->makeGenerator(setting);
    generator->SetSources(sources);
    return generator;
}

std::unique_ptr<const ColumnGenerator> MakeGenerator(const TFillField& setting,
                                                     const ValueSources* sources) {
    // Only Write changes the setting (a counter), and a constant generator has no Write.
    return MakeGenerator(const_cast<TFillField&>(setting), sources);
}

std::unique_ptr<const ColumnGenerator> MakeGenerator(const TFillField& setting,
                                                     const ColumnShape& column,
                                                     const ValueSources* sources) {
    std::unique_ptr<ColumnGenerator> generator =
        MakeGenerator(const_cast<TFillField&>(setting), sources);
    if (generator) {
        generator->SetShape(column);
    }
    return generator;
}

}  // namespace rowsmith
