// The fill method registry: the one list of the column fill methods, in code order. Each entry
// gives what the window shows of a method (its caption in the method list, its hint), how its
// value is entered, whether it writes values, and makes its generator. The fill engine, the
// check, the pre-run warnings and the field grid read this list, and the help test finds each
// method's row in the help; a new method is one generator class, one entry here and its help.
//
// Codes are plain integers in a scenario: a code without an entry is kept, writes nothing and
// passes every check.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "fill/generators/column_generator.h"

namespace rowsmith {

// The editor the window's "..." button opens for a method's value.
enum class ValueEditor : std::uint8_t { None, ValueSet, MasterField, DateRange, Library, Pattern };

struct FillMethodEntry {
    std::int32_t code;
    const char* caption;
    const char* hint;
    // Whether the method writes values into its column.
    bool writes;
    // Whether the value is typed into the grid's cell (else only the editor sets it).
    bool typed;
    ValueEditor editor;
    std::unique_ptr<ColumnGenerator> (*makeGenerator)(TFillField& setting);
};

// Every method, entry i having code i.
std::span<const FillMethodEntry> FillMethods();
// The entry of `code`, or null.
const FillMethodEntry* FindFillMethod(std::int32_t code);
// Whether `code` is a method that writes values.
bool WritesValues(std::int32_t code);
// The generator of `setting`'s method, or null for a code without an entry; it draws on `sources`
// when given, which must outlive it.
std::unique_ptr<ColumnGenerator> MakeGenerator(TFillField& setting,
                                               const ValueSources* sources = nullptr);
// The same for the questions that leave the setting as it is (the check, the warnings): a constant
// generator cannot write.
std::unique_ptr<const ColumnGenerator> MakeGenerator(const TFillField& setting,
                                                     const ValueSources* sources = nullptr);
// The same for a question about `setting` on the column `column` describes.
std::unique_ptr<const ColumnGenerator> MakeGenerator(const TFillField& setting,
                                                     const ColumnShape& column,
                                                     const ValueSources* sources = nullptr);

}  // namespace rowsmith
