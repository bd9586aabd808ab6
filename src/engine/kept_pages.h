// KeptPages: the pages of a cursor's walk from the first record, kept in memory while a budget
// allows, so that a cursor that walks a small table again and again reads it once. Only a cursor
// that does not write keeps pages: what it holds is what the table held when it was read.
//
// The cursor shows one page at a time, moved out of its place here and moved back when the cursor
// goes on, so that walking kept pages copies no record.
#pragma once

#include <cstddef>
#include <vector>

#include "engine/driver.h"
#include "engine/page_budget.h"

namespace rowsmith {

class KeptPages {
public:
    explicit KeptPages(PageBudget& budget) : budget_(budget) {}
    ~KeptPages() { Forget(); }
    KeptPages(const KeptPages&) = delete;
    KeptPages& operator=(const KeptPages&) = delete;

    // Whether the pages of a whole walk are here, so that a new walk needs no reading.
    bool Whole() const { return whole_; }

    // `read`, just read from the table, is about to replace `shown`, the page the cursor shows:
    // `shown` goes back to its place and `read` is counted as the walk's next page, or its first
    // when `first`. `last`: no page follows it. When the budget cannot hold it, everything kept
    // is given back and nothing more is kept.
    void Read(std::vector<Record>& shown, const std::vector<Record>& read, bool first, bool last);
    // The walk read past its last page and found no more.
    void Ended();
    // Moves the kept page after the one shown, or the first with `first`, into `shown`, putting
    // `shown` back; false when the walk is not whole or has no such page.
    bool Show(std::vector<Record>& shown, bool first);
    // Whether the page shown is the walk's last.
    bool ShowingLast() const { return shown_ + 1 == pages_.size(); }
    // Gives every page back; a new walk from the first record keeps them again.
    void Forget();

private:
    PageBudget& budget_;
    // The walk's pages in order; the place of the one the cursor shows is empty meanwhile.
    std::vector<std::vector<Record>> pages_;
    std::size_t shown_ = 0;
    std::size_t bytes_ = 0;
    bool whole_ = false;
    bool full_ = false;  // the budget ran out
};

}  // namespace rowsmith
