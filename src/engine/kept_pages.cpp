#include "engine/kept_pages.h"

#include <string>
#include <variant>

namespace rowsmith {

namespace {

// What a text takes beyond its string object: nothing while it fits the object itself.
std::size_t TextBytes(const FieldValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    return text != nullptr && text->capacity() > std::string().capacity() ? text->capacity() + 1
                                                                          : 0;
}

// Near enough what a page holds on the heap: the records, their value arrays and long texts.
std::size_t PageBytes(const std::vector<Record>& page) {
    std::size_t bytes = page.capacity() * sizeof(Record);
    for (const Record& record : page) {
        bytes += (record.values.capacity() + record.key.parts.capacity()) * sizeof(FieldValue);
        for (const FieldValue& value : record.values) {
            bytes += TextBytes(value);
        }
        for (const FieldValue& part : record.key.parts) {
            bytes += TextBytes(part);
        }
    }
    return bytes;
}

}  // namespace

void KeptPages::Read(std::vector<Record>& shown, const std::vector<Record>& read, bool first,
                     bool last) {
    if (full_) {
        return;
    }
    if (first) {
        Forget();
    } else if (pages_.empty() || whole_ || !ShowingLast()) {
        // Not the next page of a walk kept from its first record.
        Forget();
        return;
    } else {
        pages_[shown_] = std::move(shown);
    }
    const std::size_t bytes = PageBytes(read);
    if (!budget_.Take(bytes)) {
        Forget();
        full_ = true;
        return;
    }
    bytes_ += bytes;
    pages_.emplace_back();
    shown_ = pages_.size() - 1;
    whole_ = last;
}

void KeptPages::Ended() {
    if (!pages_.empty() && ShowingLast()) {
        whole_ = true;
    }
}

bool KeptPages::Show(std::vector<Record>& shown, bool first) {
    const std::size_t next = first ? 0 : shown_ + 1;
    if (!whole_ || next >= pages_.size()) {
        return false;
    }
    pages_[shown_] = std::move(shown);
    shown = std::move(pages_[next]);
    shown_ = next;
    return true;
}

void KeptPages::Forget() {
    budget_.Give(bytes_);
    bytes_ = 0;
    pages_.clear();
    shown_ = 0;
    whole_ = false;
}

}  // namespace rowsmith
