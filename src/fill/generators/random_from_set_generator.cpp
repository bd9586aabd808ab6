#include "fill/generators/random_from_set_generator.h"

#include <algorithm>

#include "engine/cursor_field.h"
#include "fill/random_source.h"
#include "model/fill_field.h"

namespace rowsmith {

double RandomFromSetGenerator::DistinctValues() const {
    std::vector<std::string> items = setting_.ValueSet();
    std::sort(items.begin(), items.end());
    return static_cast<double>(std::unique(items.begin(), items.end()) - items.begin());
}

void RandomFromSetGenerator::Write() {
    const std::vector<std::string>& items = setting_.ValueSet();
    if (items.empty()) {
        column_->WriteString(std::string());
        return;
    }
    column_->WriteString(items[random_->RandomBelow(static_cast<std::uint32_t>(items.size()))]);
}

}  // namespace rowsmith
