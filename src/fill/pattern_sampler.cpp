#include "fill/pattern_sampler.h"

#include <utility>

#include "fill/generators/fill_method_registry.h"
#include "fill/library_shelf.h"
#include "model/ff_list.h"
#include "model/fill_field.h"
#include "model/fill_methods.h"
#include "text/errors.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// Columns whose patterns lead through others deeper than this are taken for a circle the check
// of their own column refuses.
constexpr int kDeepestReference = 16;

}  // namespace

PatternSampler::PatternSampler(const ValueSources& sources, std::string fieldName)
    : sources_(sources), fieldName_(std::move(fieldName)) {}

std::string PatternSampler::Refusal(const std::string& pattern) const {
    TFillField setting(fieldName_);
    setting.SetFillMethod(fmPattern);
    setting.SetFillValue(pattern);
    return MakeGenerator(std::as_const(setting), &sources_)->Refusal(pattern, nullptr);
}

std::vector<std::string> PatternSampler::Samples(const std::string& pattern, int count,
                                                 RandomSource& random) {
    unresolved_.clear();
    TextPattern parsed;
    if (!TextPattern::Parse(pattern, parsed).empty()) {
        return {};
    }
    std::vector<std::string> samples;
    for (int i = 0; i < count; ++i) {
        record_.clear();
        Make(parsed, random, 0, samples.emplace_back());
    }
    return samples;
}

void PatternSampler::Make(const TextPattern& pattern, RandomSource& random, int depth,
                          std::string& out) {
    pattern.Make(
        random,
        [&](std::size_t, const TextPattern::Piece& piece, std::string& text) {
            std::string value;
            if (NameValue(piece.text, random, depth, value)) {
                text += TextPattern::Modify(std::move(value), piece.modifiers);
            } else {
                text += "[" + piece.text + "]";
            }
        },
        out);
}

bool PatternSampler::NameValue(const std::string& name, RandomSource& random, int depth,
                               std::string& value) {
    if (IsColumn(name)) {
        const std::string key = UpperCase(name);
        if (const auto known = record_.find(key); known != record_.end()) {
            value = known->second;
            return true;
        }
        if (!ColumnValue(name, random, depth, value)) {
            NoteUnresolved(name);
            return false;
        }
        record_[key] = value;
        return true;
    }
    if (sources_.libraries == nullptr) {
        NoteUnresolved(name);
        return false;
    }
    value = sources_.libraries->Library(name).Pick(random);
    return true;
}

bool PatternSampler::ColumnValue(const std::string& name, RandomSource& random, int depth,
                                 std::string& value) {
    if (sources_.settings == nullptr || depth >= kDeepestReference) {
        return false;
    }
    const TFFList& settings = *sources_.settings;
    for (int i = 0; i < settings.Count(); ++i) {
        const TFillField& setting = settings.Items(i);
        if (!SameText(setting.FieldName(), name)) {
            continue;
        }
        try {
            switch (setting.FillMethod()) {
                case fmSingleValue:
                    value = setting.FillValue();
                    return true;
                case fmRandomFromSet:
                    if (setting.ValueSet().empty()) {
                        return false;
                    }
                    value = setting.ValueSet()[random.RandomBelow(
                        static_cast<std::uint32_t>(setting.ValueSet().size()))];
                    return true;
                case fmLibrary:
                    if (sources_.libraries == nullptr) {
                        return false;
                    }
                    value = sources_.libraries->Library(setting.FillValue()).Pick(random);
                    return true;
                case fmPattern: {
                    TextPattern pattern;
                    if (!TextPattern::Parse(setting.FillValue(), pattern).empty()) {
                        return false;
                    }
                    value.clear();
                    Make(pattern, random, depth + 1, value);
                    return true;
                }
                default:
                    return false;
            }
        } catch (const Exception&) {
            // That column's own check tells what is wrong with its setting.
            return false;
        }
    }
    return false;
}

bool PatternSampler::IsColumn(const std::string& name) const {
    for (const std::string& column : sources_.columns) {
        if (SameText(column, name)) {
            return true;
        }
    }
    return false;
}

void PatternSampler::NoteUnresolved(const std::string& name) {
    for (const std::string& known : unresolved_) {
        if (SameText(known, name)) {
            return;
        }
    }
    unresolved_.push_back(name);
}

}  // namespace rowsmith
