#include "fill/generators/library_generator.h"

#include <utility>

#include "engine/cursor_field.h"
#include "fill/library_shelf.h"
#include "fill/random_source.h"
#include "model/fill_field.h"
#include "text/errors.h"

namespace rowsmith {

const ValueLibrary* LibraryGenerator::Find(const std::string& name, std::string& reason) const {
    if (sources_ == nullptr || sources_->libraries == nullptr) {
        return nullptr;
    }
    try {
        return &sources_->libraries->Library(name);
    } catch (const Exception& error) {
        reason = error.what();
        return nullptr;
    }
}

bool LibraryGenerator::CheckValue(const std::string& text, const CursorField* column) const {
    return Refusal(text, column).empty();
}

std::string LibraryGenerator::Refusal(const std::string& text, const CursorField*) const {
    std::string reason;
    Find(text, reason);
    return reason;
}

double LibraryGenerator::DistinctValues() const {
    std::string reason;
    const ValueLibrary* library = Find(setting_.FillValue(), reason);
    return library != nullptr ? static_cast<double>(library->DistinctCount()) : -1;
}

void LibraryGenerator::CheckFit(TFieldType, int size, std::vector<std::string>& misfits) const {
    std::string reason;
    const ValueLibrary* library = Find(setting_.FillValue(), reason);
    if (!reason.empty()) {
        misfits.push_back(reason + ": the check will refuse it");
    }
    if (library != nullptr && size > 0 &&
        library->LongestValue() > static_cast<std::size_t>(size)) {
        misfits.push_back("library \"" + setting_.FillValue() + "\" has values of up to " +
                          std::to_string(library->LongestValue()) +
                          " characters, the column keeps " + std::to_string(size) +
                          ": longer ones will be cut");
    }
}

std::int64_t LibraryGenerator::LongestText() const {
    std::string reason;
    const ValueLibrary* library = Find(setting_.FillValue(), reason);
    return library != nullptr ? static_cast<std::int64_t>(library->LongestValue()) : -1;
}

void LibraryGenerator::Load() {
    if (library_ != nullptr) {
        return;
    }
    if (sources_ == nullptr || sources_->libraries == nullptr) {
        throw EInvalidOperation("No value libraries for field \"" + setting_.FieldName() + "\"");
    }
    library_ = &sources_->libraries->Library(setting_.FillValue());
}

bool LibraryGenerator::DrawWithoutReplacement() {
    Load();
    left_ = library_->DistinctPositions();
    given_ = 0;
    unique_ = true;
    return true;
}

bool LibraryGenerator::Exhausted() const {
    return unique_ && given_ >= left_.size();
}

void LibraryGenerator::Write() {
    Load();
    if (unique_) {
        // One step of a Fisher-Yates shuffle: a random value of those left takes the next place.
        const std::size_t pick =
            given_ + random_->RandomBelow(static_cast<std::uint32_t>(left_.size() - given_));
        std::swap(left_[given_], left_[pick]);
        text_.assign(library_->Value(left_[given_++]));
    } else {
        text_.assign(library_->Pick(*random_));
    }
    column_->WriteString(text_);
}

}  // namespace rowsmith
