// An ordered list that owns its items, the base of the scenario's table and field lists.
// Items are appended, may be put in another order, and leave from the end or all together when
// the list is cleared or destroyed. An item keeps its address wherever it stands.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "text/errors.h"

namespace rowsmith {

template <typename T>
class OwningList {
public:
    // Appends the item and gives its position, which equals the former count.
    int Add(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return static_cast<int>(items_.size()) - 1;
    }

    // Throws EListError "List index out of bounds (%d)" for a position outside the list. A
    // constant list hands out constant items.
    T& Items(int index) { return *items_[Checked(index)]; }
    const T& Items(int index) const { return *items_[Checked(index)]; }

    int Count() const { return static_cast<int>(items_.size()); }
    // The position of this very item in the list, or -1 when the list does not hold it.
    int IndexOf(const T* item) const {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (items_[i].get() == item) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    // Puts the items in the order `order` gives: entry i is the former position of the item that
    // comes to position i. REQUIRES: `order` holds each position of the list once.
    void Reorder(const std::vector<int>& order) {
        std::vector<std::unique_ptr<T>> arranged;
        arranged.reserve(items_.size());
        for (int index : order) {
            arranged.push_back(std::move(items_[Checked(index)]));
        }
        items_ = std::move(arranged);
    }

    // Destroys the items from position `count` on, the first of them first.
    // REQUIRES: 0 <= count <= Count().
    void Truncate(int count) {
        for (std::size_t i = static_cast<std::size_t>(count); i < items_.size(); ++i) {
            items_[i].reset();
        }
        items_.resize(static_cast<std::size_t>(count));
    }

    // Destroys the items from position 0 upwards, then empties the list.
    void Clear() {
        for (auto& item : items_) {
            item.reset();
        }
        items_.clear();
    }

    ~OwningList() { Clear(); }

private:
    std::size_t Checked(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) {
            throw EListError::OutOfBounds(index);
        }
        return static_cast<std::size_t>(index);
    }

    std::vector<std::unique_ptr<T>> items_;
};

}  // namespace rowsmith
