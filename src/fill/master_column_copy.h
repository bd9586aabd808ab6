// MasterColumnCopy: the rows of one master column, for drawing them by position. It reads the
// column once into memory while the fill's master page budget holds it; a column too large for
// the budget keeps nothing and only the row count, and each row is then found by its position
// through the master cursor, so a huge master table costs no more memory than a walk of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rowsmith {

class CursorField;
class PageBudget;
class TableCursor;

class MasterColumnCopy {
public:
    // Reads `column`, a column of `cursor`, from the cursor's first record. The cursor is left
    // for this copy's use alone, and both must outlive it; so must `budget`.
    MasterColumnCopy(TableCursor& cursor, const CursorField& column, PageBudget& budget);
    // Gives the bytes it holds back to the budget.
    ~MasterColumnCopy();
    MasterColumnCopy(const MasterColumnCopy&) = delete;
    MasterColumnCopy& operator=(const MasterColumnCopy&) = delete;

    // The master table's rows when it was read.
    std::int64_t Rows() const { return rows_; }
    // Whether the values are held in memory.
    bool Kept() const { return kept_; }
    // Writes the value of row `position` (from 0, in the table's order) to `target`, as
    // CursorField::WriteValueOf would. Raises an error when the row is gone.
    // REQUIRES: 0 <= position < Rows().
    void WriteRow(std::int64_t position, CursorField& target);

private:
    // Walks the whole table, reading the column while the budget lasts; false when it ran out.
    // `counted`: the table's records, -1 when the database cannot tell.
    bool ReadAll(std::int64_t counted);
    void GiveBack();

    TableCursor& cursor_;
    const CursorField& column_;
    PageBudget& budget_;
    std::vector<std::string> values_;
    std::size_t bytes_ = 0;
    std::int64_t rows_ = 0;
    bool kept_ = false;
};

}  // namespace rowsmith
