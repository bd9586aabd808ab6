// PatternSampler: texts that a pattern of "Text from a pattern" makes, for the pattern editor to
// show while the pattern is typed. Digits, letters and libraries are drawn by the pattern's own
// code, as a fill draws them. A name of another column of the table has no record to read from
// here: it gives a value that column's setting could write where the setting alone tells one (a
// library, a pattern, a single value or a value set), the same one throughout a text, and else
// the column's name in brackets.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "fill/generators/column_generator.h"
#include "fill/random_source.h"
#include "fill/text_pattern.h"

namespace rowsmith {

class PatternSampler {
public:
    // `sources` are the table's columns, settings and libraries, as the check sees them; the
    // pattern is for the column `fieldName`. `sources` must outlive the sampler.
    PatternSampler(const ValueSources& sources, std::string fieldName);

    // Why the check refuses `pattern` for the column, or empty when it takes it.
    std::string Refusal(const std::string& pattern) const;

    // `count` texts of `pattern`, drawn from `random`. REQUIRES: Refusal(pattern) is empty.
    std::vector<std::string> Samples(const std::string& pattern, int count, RandomSource& random);

    // The columns that the last Samples showed by their names in brackets, in pattern order.
    const std::vector<std::string>& Unresolved() const { return unresolved_; }

private:
    // Appends a text of `pattern` to `out`; `depth` counts the patterns of other columns that
    // led here.
    void Make(const TextPattern& pattern, RandomSource& random, int depth, std::string& out);
    // The value of `name`, a library or a column, before modifiers; empty for an unresolved
    // column, which it records.
    bool NameValue(const std::string& name, RandomSource& random, int depth, std::string& value);
    // A value the setting of column `name` could write, when one can be told.
    bool ColumnValue(const std::string& name, RandomSource& random, int depth, std::string& value);
    bool IsColumn(const std::string& name) const;
    void NoteUnresolved(const std::string& name);

    const ValueSources& sources_;
    std::string fieldName_;
    // The values of the columns used in the text being made, by upper-case name.
    std::map<std::string, std::string> record_;
    std::vector<std::string> unresolved_;
};

}  // namespace rowsmith
