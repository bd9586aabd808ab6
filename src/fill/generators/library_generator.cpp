#include "fill/generators/library_generator.h"

#include "engine/cursor_field.h"
#include "fill/library_shelf.h"
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
    return library != nullptr ? static_cast<double>(library->Count()) : -1;
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

void LibraryGenerator::Write() {
    if (library_ == nullptr) {
        if (sources_ == nullptr || sources_->libraries == nullptr) {
            throw EInvalidOperation("No value libraries for field \"" + setting_.FieldName() +
                                    "\"");
        }
        library_ = &sources_->libraries->Library(setting_.FillValue());
    }
    text_.assign(library_->Pick(*random_));
    column_->WriteString(text_);
}

}  // namespace rowsmith
