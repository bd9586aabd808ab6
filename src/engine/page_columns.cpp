#include "engine/page_columns.h"

#include <algorithm>
#include <utility>

namespace rowsmith {

PageColumns::PageColumns(std::size_t count, std::vector<std::size_t> keyColumns)
    : keyColumns_(std::move(keyColumns)) {
    for (std::size_t i = 0; i < count; ++i) {
        all_.push_back(i);
    }
    read_ = all_;
}

bool PageColumns::Ask(const std::vector<bool>& asked) {
    std::vector<std::size_t> read;
    for (std::size_t i : all_) {
        const bool key = std::find(keyColumns_.begin(), keyColumns_.end(), i) != keyColumns_.end();
        if (asked.empty() || asked[i] || key) {
            read.push_back(i);
        }
    }
    const bool wider = !std::includes(read_.begin(), read_.end(), read.begin(), read.end());
    read_ = std::move(read);
    return wider;
}

}  // namespace rowsmith
