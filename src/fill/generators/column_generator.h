// ColumnGenerator: one column fill method at work on one column setting. Each method is a class of
// its own behind this interface, listed once in the fill method registry; the fill engine, the
// check of fill values and the pre-run warnings reach the methods only through it.
//
// A generator is made for a setting whenever one is wanted: making it reads nothing and cannot
// fail, so the check and the warnings make one per question. For a fill, Start gives it the column
// and the engine to draw on, and Write then writes one value per record. What a method derives
// from its setting is worked out at its first Write (where a bad setting raises its error) and
// kept until the generator is dropped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/field_type.h"
#include "text/civil_time.h"
#include "text/text_helpers.h"

namespace rowsmith {

class CursorField;
class LibraryShelf;
class PageBudget;
class RandomSource;
class TableCursor;
class TFFList;
class TFillField;

// What a setting may draw on besides its own value, for the check and the warnings as for the
// fill: the value libraries of the fill and the other columns of its table.
struct ValueSources {
    // Null where no library is to be read: the methods that need one cannot tell.
    LibraryShelf* libraries = nullptr;
    // The table's columns in their order, with their declared sizes (0 for none).
    std::vector<std::string> columns;
    std::vector<int> sizes;
    // The table's settings, or null.
    const TFFList* settings = nullptr;
};

// What a generator draws on during a fill: the engine's random source, the work table's columns
// and the master cursors. The fill engine provides it and outlives every generator it starts.
class GeneratorHost {
public:
    virtual RandomSource& Random() = 0;
    // The type of the work table's column called `name`, compared without regard to case; raises
    // "%s: Field '%s' not found" when there is none.
    virtual TFieldType ColumnType(const std::string& name) = 0;
    // The first master cursor whose table name is exactly `name`, or null.
    virtual TableCursor* FindMasterTable(const std::string& name) const = 0;
    // The master cursor opened for `setting` alone, or null.
    virtual TableCursor* MasterTableOf(const TFillField& setting) const = 0;
    // The bytes of master rows the generators and master cursors of a table's fill may keep in
    // memory together.
    virtual PageBudget& MasterPages() = 0;
    // The moment "now" and "today" stand for: when the fill started, or the one fixed for it.
    virtual DateTimeValue Now() = 0;
    // The work table's column called `name`, compared without regard to case, holding what this
    // record has so far; raises "%s: Field '%s' not found" when there is none.
    virtual const CursorField& Column(const std::string& name) = 0;

protected:
    ~GeneratorHost() = default;
};

// What the questions before a fill know of the column a setting fills, and what a fill's
// generator reads of its column when it starts.
struct ColumnShape {
    TFieldType type = ftUnknown;
    // Declared size of a text column in characters; 0 when it has none.
    int size = 0;
    // An integer column of 64 bits, whose range is its own rather than the 32-bit one.
    bool wide = false;
};

class ColumnGenerator {
public:
    explicit ColumnGenerator(TFillField& setting) : setting_(setting) {}
    virtual ~ColumnGenerator() = default;
    ColumnGenerator(const ColumnGenerator&) = delete;
    ColumnGenerator& operator=(const ColumnGenerator&) = delete;

    const TFillField& Setting() const { return setting_; }
    // What the setting may draw on; null (the default) where there is nothing to tell.
    void SetSources(const ValueSources* sources) { sources_ = sources; }

    // Whether `text` has the form this method asks of its value. It looks only at the form
    // (numbers where numbers are needed); whether a value fits its column is found out when it is
    // written. `column` is the setting's column, null for a setting past the table's last column.
    virtual bool CheckValue(const std::string& text, const CursorField* column) const;
    // Why CheckValue refuses `text`, for the check's message; empty where the method tells no
    // reason beyond the refusal itself.
    virtual std::string Refusal(const std::string& text, const CursorField* column) const;

    // For the questions before a fill: the column the setting fills, when known. Start sets it
    // from the column it is given.
    void SetShape(const ColumnShape& shape) { shape_ = shape; }

    // For the pre-run warnings and the check of a unique setting: how many distinct values the
    // setting can give (on the column SetShape described, where that matters), the empty text
    // not counted since it writes NULL; -1 when there is no telling.
    virtual double DistinctValues() const;
    // For the pre-run warnings: the chance that two values drawn for two records are the same
    // (neither of them NULL), 1 / DistinctValues() for a method whose values are equally likely;
    // -1 when there is no telling.
    virtual double RepeatChance() const;
    // Whether the method draws its values at random, so that a unique column fed by it may get
    // the same value twice unless the setting is unique.
    virtual bool DrawsAtRandom() const { return false; }
    // For the pre-run warnings: appends why the setting does not fit a column of `type` and
    // declared `size` (0 for none), in the order they are told; nothing when it fits.
    virtual void CheckFit(TFieldType type, int size, std::vector<std::string>& misfits) const;
    // The same for the moments a date or date-and-time column of `type` takes, from `firstSecond`
    // to `lastSecond` (seconds from 1970-01-01 00:00:00).
    virtual void CheckSpan(TFieldType type, std::int64_t firstSecond, std::int64_t lastSecond,
                           std::vector<std::string>& misfits) const;
    // The master table and column the setting takes its values from; nothing for a method that
    // reads none.
    virtual std::optional<TableFieldParts> MasterColumn() const;
    // The other columns of the same record whose values this setting's values are made from: the
    // fill writes them first. Names as the setting gives them.
    virtual std::vector<std::string> ReferencedColumns() const;
    // The most bytes a value can have, -1 when there is no telling.
    virtual std::int64_t LongestText() const;

    // Readies the generator for a fill of `column` (null where the values are only made, not
    // written), drawing on `host`.
    void Start(GeneratorHost& host, CursorField* column);
    // Writes this record's value to the column. REQUIRES: Start with a column.
    virtual void Write() = 0;

    // Values that never repeat within a fill. A method that can draw without replacement (a
    // shuffled range, a shuffled set) readies its Writes to do so and gives true; the others give
    // false, and the fill keeps the values they write and draws again on a repeat.
    // REQUIRES: Start, before the first Write.
    virtual bool DrawWithoutReplacement();
    // For a generator drawing without replacement: whether it has given every value it has.
    virtual bool Exhausted() const { return false; }

protected:
    // The misfit of the methods that write numbers or text: a date or time column takes none.
    static void CheckNotDateOrTime(TFieldType type, std::vector<std::string>& misfits);

    TFillField& setting_;
    const ValueSources* sources_ = nullptr;
    ColumnShape shape_;
    GeneratorHost* host_ = nullptr;
    // The host's random source, kept for the draws of every record.
    RandomSource* random_ = nullptr;
    CursorField* column_ = nullptr;
};

}  // namespace rowsmith
