// PageBudget: the bytes of records that the cursors sharing it may keep in memory together (see
// TableCursor::SetPageBudget). Whoever makes it must keep it until those cursors are closed.
#pragma once

#include <cstddef>

namespace rowsmith {

class PageBudget {
public:
    explicit PageBudget(std::size_t bytes) : left_(bytes) {}

    // Takes `bytes` from what is left; false, taking nothing, when that is not enough.
    bool Take(std::size_t bytes) {
        if (bytes > left_) {
            return false;
        }
        left_ -= bytes;
        return true;
    }
    void Give(std::size_t bytes) { left_ += bytes; }

private:
    std::size_t left_;
};

}  // namespace rowsmith
