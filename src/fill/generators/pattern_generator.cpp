#include "fill/generators/pattern_generator.h"

#include <algorithm>
#include <functional>
#include <set>

#include "engine/cursor_field.h"
#include "fill/generators/fill_method_registry.h"
#include "fill/library_shelf.h"
#include "fill/random_source.h"
#include "model/ff_list.h"
#include "model/fill_field.h"
#include "text/errors.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// The most bytes of one UTF-8 character, what "first" leaves of a value.
constexpr std::int64_t kLongestCharacter = 4;

}  // namespace

int PatternGenerator::ColumnIndex(const std::string& name) const {
    if (sources_ == nullptr) {
        return -1;
    }
    for (std::size_t i = 0; i < sources_->columns.size(); ++i) {
        if (SameText(sources_->columns[i], name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const TFillField* PatternGenerator::SettingOf(const std::string& name) const {
    if (sources_ == nullptr || sources_->settings == nullptr) {
        return nullptr;
    }
    const TFFList& settings = *sources_->settings;
    for (int i = 0; i < settings.Count(); ++i) {
        if (SameText(settings.Items(i).FieldName(), name)) {
            return &settings.Items(i);
        }
    }
    return nullptr;
}

std::vector<std::string> PatternGenerator::Columns(const TextPattern& pattern) const {
    std::vector<std::string> columns;
    for (const std::string& name : pattern.Names()) {
        if (ColumnIndex(name) >= 0) {
            columns.push_back(name);
        }
    }
    return columns;
}

std::string PatternGenerator::Circle(const std::vector<std::string>& columns) const {
    std::vector<std::string> path{setting_.FieldName()};
    std::set<std::string> seen;
    const std::function<bool(const std::vector<std::string>&)> walk =
        [&](const std::vector<std::string>& names) {
            for (const std::string& name : names) {
                if (SameText(name, path.front())) {
                    path.push_back(name);
                    return true;
                }
                const TFillField* setting = SettingOf(name);
                if (setting == nullptr || !seen.insert(UpperCase(name)).second) {
                    continue;
                }
                const auto generator = MakeGenerator(*setting, sources_);
                if (!generator) {
                    continue;
                }
                path.push_back(setting->FieldName());
                if (walk(generator->ReferencedColumns())) {
                    return true;
                }
                path.pop_back();
            }
            return false;
        };
    if (!walk(columns)) {
        return {};
    }
    std::string text;
    for (const std::string& name : path) {
        text += (text.empty() ? "" : " -> ") + name;
    }
    return text;
}

std::string PatternGenerator::Refusal(const std::string& text, const CursorField*) const {
    TextPattern pattern;
    if (std::string bad = TextPattern::Parse(text, pattern); !bad.empty()) {
        return bad;
    }
    if (sources_ == nullptr) {
        return {};
    }
    for (const std::string& name : pattern.Names()) {
        if (ColumnIndex(name) >= 0 || sources_->libraries == nullptr) {
            continue;
        }
        try {
            sources_->libraries->Library(name);
        } catch (const Exception& error) {
            return "\"" + name + "\" is no column of the table, and " + error.what();
        }
    }
    if (std::string circle = Circle(Columns(pattern)); !circle.empty()) {
        return "the columns refer to each other in a circle: " + circle;
    }
    return {};
}

bool PatternGenerator::CheckValue(const std::string& text, const CursorField* column) const {
    return Refusal(text, column).empty();
}

double PatternGenerator::DistinctValues() const {
    TextPattern pattern;
    if (!Refusal(setting_.FillValue(), nullptr).empty() ||
        !TextPattern::Parse(setting_.FillValue(), pattern).empty()) {
        return -1;
    }
    double count = 1;
    for (const TextPattern::Piece& piece : pattern.Pieces()) {
        switch (piece.kind) {
            case TextPattern::Kind::Text:
                break;
            case TextPattern::Kind::Digit:
                count *= 10;
                break;
            case TextPattern::Kind::Letter:
                count *= 26;
                break;
            case TextPattern::Kind::LetterOrDigit:
                count *= static_cast<double>(TextPattern::kLettersAndDigits.size());
                break;
            case TextPattern::Kind::Name:
                if (ColumnIndex(piece.text) >= 0 || sources_ == nullptr ||
                    sources_->libraries == nullptr) {
                    return -1;
                }
                count *=
                    static_cast<double>(sources_->libraries->Library(piece.text).DistinctCount());
                break;
        }
    }
    return count;
}

std::int64_t PatternGenerator::LongestText() const {
    TextPattern pattern;
    if (!Refusal(setting_.FillValue(), nullptr).empty() ||
        !TextPattern::Parse(setting_.FillValue(), pattern).empty() || sources_ == nullptr) {
        return -1;
    }
    std::int64_t total = 0;
    for (const TextPattern::Piece& piece : pattern.Pieces()) {
        std::int64_t longest = 1;
        if (piece.kind == TextPattern::Kind::Text) {
            longest = static_cast<std::int64_t>(piece.text.size());
        } else if (piece.kind == TextPattern::Kind::Name) {
            if (const int index = ColumnIndex(piece.text); index >= 0) {
                // A column keeps no more than its size, whatever its setting makes.
                const TFillField* setting = SettingOf(piece.text);
                const auto generator = setting ? MakeGenerator(*setting, sources_) : nullptr;
                longest = generator ? generator->LongestText() : -1;
                if (const int size = sources_->sizes[static_cast<std::size_t>(index)]; size > 0) {
                    longest = longest < 0 ? size : std::min<std::int64_t>(longest, size);
                }
            } else if (sources_->libraries != nullptr) {
                longest = static_cast<std::int64_t>(
                    sources_->libraries->Library(piece.text).LongestValue());
            } else {
                longest = -1;
            }
            if (longest < 0) {
                return -1;
            }
            if (std::find(piece.modifiers.begin(), piece.modifiers.end(),
                          TextPattern::Modifier::First) != piece.modifiers.end()) {
                longest = std::min(longest, kLongestCharacter);
            }
        }
        total += longest;
    }
    return total;
}

void PatternGenerator::CheckFit(TFieldType, int size, std::vector<std::string>& misfits) const {
    if (std::string reason = Refusal(setting_.FillValue(), nullptr); !reason.empty()) {
        misfits.push_back(reason + ": the check will refuse it");
        return;
    }
    const std::int64_t longest = LongestText();
    if (size > 0 && longest > size) {
        misfits.push_back("pattern \"" + setting_.FillValue() + "\" makes texts of up to " +
                          std::to_string(longest) + " characters, the column keeps " +
                          std::to_string(size) + ": longer ones will be cut");
    }
}

std::vector<std::string> PatternGenerator::ReferencedColumns() const {
    TextPattern pattern;
    if (!TextPattern::Parse(setting_.FillValue(), pattern).empty()) {
        return {};
    }
    return Columns(pattern);
}

void PatternGenerator::Prepare() {
    if (std::string bad = TextPattern::Parse(setting_.FillValue(), pattern_); !bad.empty()) {
        throw Exception("Wrong fill value. Field: \"" + setting_.FieldName() + "\". Value: \"" +
                        setting_.FillValue() + "\": " + bad);
    }
    names_.assign(pattern_.Pieces().size(), NameSource{});
    for (std::size_t i = 0; i < names_.size(); ++i) {
        const TextPattern::Piece& piece = pattern_.Pieces()[i];
        if (piece.kind != TextPattern::Kind::Name) {
            continue;
        }
        if (ColumnIndex(piece.text) >= 0) {
            names_[i].column = &host_->Column(piece.text);
        } else if (sources_ != nullptr && sources_->libraries != nullptr) {
            names_[i].library = &sources_->libraries->Library(piece.text);
        } else {
            throw EInvalidOperation("No value libraries for field \"" + setting_.FieldName() +
                                    "\"");
        }
    }
    prepared_ = true;
}

void PatternGenerator::Write() {
    if (!prepared_) {
        Prepare();
    }
    text_.clear();
    pattern_.Make(
        *random_,
        [this](std::size_t i, const TextPattern::Piece& piece, std::string& out) {
            const NameSource& source = names_[i];
            if (piece.modifiers.empty() && source.library != nullptr) {
                out += source.library->Pick(*random_);
                return;
            }
            std::string value = source.library != nullptr
                                    ? std::string(source.library->Pick(*random_))
                                    : source.column->ReadString();
            out += TextPattern::Modify(std::move(value), piece.modifiers);
        },
        text_);
    column_->WriteString(text_);
}

}  // namespace rowsmith
