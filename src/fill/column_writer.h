// ColumnWriter: writes one column's value for each record of a fill, around the column's
// generator: the setting's share of the records gets NULL instead, and a unique setting never
// writes a value twice. The share's draw and the generator's draws come from the fill's one
// random source, so a seeded fill stays repeatable.
//
// Uniqueness: a generator that draws without replacement gives each value once by itself; for
// the others the writer keeps a 64-bit hash of the text of every value written (memory grows
// with the records, by 16 to 32 bytes each) and has the generator draw again on a repeat, up to
// kMaxDraws times. Two values that share a hash only cost a draw more, never a repeat. Values
// the column held before the fill (Avoid) are never written either. NULL never counts as a
// repeat.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/cursor_field.h"
#include "fill/fingerprint_set.h"
#include "fill/generators/column_generator.h"
#include "fill/random_source.h"

namespace rowsmith {

// The percentage a setting's NULL share text gives: 0 for the empty text. False for a text that
// is no number or lies outside 0 to 100.
bool ReadNullShare(const std::string& text, long double& percent);

class ColumnWriter {
public:
    // How often a generator that keeps no order of its own may draw a repeat for one record.
    static constexpr int kMaxDraws = 1000;

    // The generator is started on `column`, drawing on `host`. `table` names the table in
    // messages.
    ColumnWriter(std::unique_ptr<ColumnGenerator> generator, GeneratorHost& host,
                 CursorField& column, std::string table);

    // `percent` of the records, 0 to 100, get NULL. REQUIRES: 0 <= percent <= 100.
    void SetNullShare(long double percent);
    // From now on, no value is written twice. REQUIRES: before the first Write.
    void MakeUnique();
    // A value the column holds already, which a unique writer never writes. The empty text
    // (NULL) is ignored.
    void Avoid(const std::string& text);
    bool Unique() const { return unique_; }
    const CursorField& Column() const { return column_; }
    const ColumnGenerator& Generator() const { return *generator_; }

    // Writes this record's value. Raises an error naming the table and column when a unique
    // writer finds no new value.
    void Write() {
        if (allNull_ || (nullBelow_ != 0 && random_.NextState() < nullBelow_)) {
            column_.WriteString(kNull);
            return;
        }
        if (unique_) {
            WriteUnique();
        } else {
            generator_->Write();
        }
    }

private:
    void WriteUnique();
    // The hash of the value just written, as Avoid hashes a text: text columns hash the text
    // they hold, without copying it.
    std::uint64_t WrittenHash() const;
    [[noreturn]] void ThrowNoNewValue(const std::string& why) const;

    static const std::string kNull;

    std::unique_ptr<ColumnGenerator> generator_;
    CursorField& column_;
    RandomSource& random_;
    std::string table_;
    // A record is NULL when a draw falls below this; 0 draws nothing.
    std::uint32_t nullBelow_ = 0;
    bool allNull_ = false;
    bool unique_ = false;
    // Whether the generator itself gives each value once.
    bool ownOrder_ = false;
    // The hashes of the values the column held before, and for a generator without an order of
    // its own of the ones written since.
    FingerprintSet taken_;
    std::uint64_t written_ = 0;
};

}  // namespace rowsmith
