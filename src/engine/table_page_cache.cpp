#include "engine/table_page_cache.h"

#include <algorithm>

#include "engine/database_errors.h"

namespace rowsmith {

namespace {

const char* const kRecordGone = "Record not found: it was changed or deleted by another user";

}  // namespace

void TablePageCache::Reset(TableCursor* cursor) {
    cursor_ = cursor;
    records_ = 0;
    counted_ = true;
    pages_.clear();
    if (cursor == nullptr) {
        return;
    }
    counted_ = false;
    try {
        records_ = static_cast<std::int64_t>(LoadPage(0).rows.size());
    } catch (...) {
        counted_ = true;
        throw;
    }
    if (records_ < kPageRows) {
        counted_ = true;
    }
}

std::int64_t TablePageCache::Count() {
    counted_ = true;
    return cursor_->CountRecords();
}

const TablePageCache::Row* TablePageCache::RowAt(std::int64_t row) {
    if (cursor_ == nullptr || row < 0 || row >= records_) {
        return nullptr;
    }
    Page* page = FindPage(row / kPageRows);
    if (page == nullptr) {
        page = &LoadPage(row / kPageRows);
    }
    page->lastUse = ++clock_;
    const auto offset = static_cast<std::size_t>(row % kPageRows);
    return offset < page->rows.size() ? &page->rows[offset] : nullptr;
}

void TablePageCache::GoToRow(std::int64_t row) {
    const Row* record = RowAt(row);
    if (record == nullptr || !cursor_->GotoBookmark(record->mark)) {
        throw EDatabaseError(kRecordGone);
    }
}

TablePageCache::Row TablePageCache::ReadCurrent() const {
    Row row;
    row.mark = cursor_->GetBookmark();
    row.values.reserve(static_cast<std::size_t>(cursor_->FieldCount()));
    for (int i = 0; i < cursor_->FieldCount(); ++i) {
        row.values.push_back(cursor_->FieldAt(i).ReadString());
    }
    return row;
}

void TablePageCache::StorePosted(std::int64_t row, Row&& posted) {
    Page* page = FindPage(row / kPageRows);
    if (page == nullptr) {
        return;
    }
    const auto offset = static_cast<std::size_t>(row % kPageRows);
    if (offset < page->rows.size()) {
        page->rows[offset] = std::move(posted);
    } else if (offset == page->rows.size()) {
        page->rows.push_back(std::move(posted));
    } else {
        pages_.erase(pages_.begin() + (page - pages_.data()));
    }
}

void TablePageCache::Removed() {
    --records_;
    pages_.clear();
}

TablePageCache::Page& TablePageCache::LoadPage(std::int64_t index) {
    if (pages_.size() >= kMaxPages) {
        pages_.erase(
            std::min_element(pages_.begin(), pages_.end(),
                             [](const Page& a, const Page& b) { return a.lastUse < b.lastUse; }));
    }
    pages_.push_back(Page{index, {}, ++clock_});
    Page& page = pages_.back();
    try {
        // Going on from the page before, or back from the page after, is a short keyset read;
        // anything else is a move by position, which counts from an end of the table.
        bool placed = false;
        const Page* before = FindPage(index - 1);
        const Page* after = FindPage(index + 1);
        if (before != nullptr && before->rows.size() == kPageRows &&
            cursor_->GotoBookmark(before->rows.back().mark)) {
            cursor_->Next();
            placed = !cursor_->AtEnd();
        } else if (after != nullptr && !after->rows.empty() &&
                   cursor_->MoveBefore(after->rows.front().mark, kPageRows)) {
            placed = true;
        } else {
            placed = cursor_->MoveTo(index * kPageRows, counted_ ? records_ : -1);
        }
        while (placed && page.rows.size() < kPageRows && !cursor_->AtEnd()) {
            page.rows.push_back(ReadCurrent());
            cursor_->Next();
        }
    } catch (...) {
        page.rows.clear();
        throw;
    }
    return page;
}

TablePageCache::Page* TablePageCache::FindPage(std::int64_t index) {
    auto found = std::find_if(pages_.begin(), pages_.end(),
                              [index](const Page& page) { return page.index == index; });
    return found != pages_.end() ? &*found : nullptr;
}

}  // namespace rowsmith
