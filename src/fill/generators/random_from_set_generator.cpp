#include "fill/generators/random_from_set_generator.h"

#include <algorithm>

#include "engine/cursor_field.h"
#include "fill/random_source.h"
#include "model/fill_field.h"

namespace rowsmith {

namespace {

// The distinct items that write a value, sorted: an empty one writes NULL.
std::vector<std::string> DistinctItems(const std::vector<std::string>& items) {
    std::vector<std::string> distinct = items;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    if (!distinct.empty() && distinct.front().empty()) {
        distinct.erase(distinct.begin());
    }
    return distinct;
}

}  // namespace

double RandomFromSetGenerator::DistinctValues() const {
    return static_cast<double>(DistinctItems(setting_.ValueSet()).size());
}

bool RandomFromSetGenerator::DrawWithoutReplacement() {
    unique_ = true;
    left_ = DistinctItems(setting_.ValueSet());
    given_ = 0;
    return true;
}

bool RandomFromSetGenerator::Exhausted() const {
    return unique_ && given_ >= left_.size();
}

void RandomFromSetGenerator::Write() {
    if (unique_) {
        // One step of a Fisher-Yates shuffle: a random item of those left takes the next place.
        const auto pick =
            given_ + random_->RandomBelow(static_cast<std::uint32_t>(left_.size() - given_));
        std::swap(left_[given_], left_[pick]);
        column_->WriteString(left_[given_++]);
        return;
    }
    const std::vector<std::string>& items = setting_.ValueSet();
    if (items.empty()) {
        column_->WriteString(std::string());
        return;
    }
    column_->WriteString(items[random_->RandomBelow(static_cast<std::uint32_t>(items.size()))]);
}

}  // namespace rowsmith
