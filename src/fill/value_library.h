// ValueLibrary: a list of values read from a library file, and the weighted draw of one of them.
// A library file is UTF-8 text with one value a line; a line starting with "#" is a comment, a
// blank line is skipped, and a value may be followed by a tab and a whole-number weight (1 when
// none is given). The first comment line says what the library holds.
//
// A library is read once and then only read from, so one object may serve every column of a
// fill. Values live in one buffer with their offsets beside it, so a library of a million values
// costs little more than its file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fill/random_source.h"

namespace rowsmith {

class ValueLibrary {
public:
    // The largest weight a value may carry.
    static constexpr std::uint64_t kMaxWeight = 1000000000;

    // Reads the library file at `path`. `name` is what the messages call it: the name or path
    // the user gave. Throws an Exception naming the library when the file cannot be read, is not
    // UTF-8 text, has a bad weight or holds no values.
    static ValueLibrary Load(const std::string& path, const std::string& name);

    // The same for a library's text held in memory.
    static ValueLibrary Parse(std::string_view text, const std::string& name);

    const std::string& Name() const { return name_; }
    // The text of the first comment line without its "#" and leading blanks, or empty.
    const std::string& Description() const { return description_; }

    // REQUIRES: 0 <= index < Count().
    std::size_t Count() const { return weights_.size(); }
    std::string_view Value(std::size_t index) const {
        return std::string_view(text_).substr(starts_[index], starts_[index + 1] - starts_[index]);
    }
    std::uint32_t Weight(std::size_t index) const { return weights_[index]; }
    // Whether some values weigh more than others.
    bool Weighted() const { return !keep_.empty(); }

    // The place of each different value, in the order of the values' texts: a value listed
    // twice is one value, at the first of its places.
    std::vector<std::uint32_t> DistinctPositions() const;
    std::size_t DistinctCount() const { return DistinctPositions().size(); }

    // The length in bytes of the longest value.
    std::size_t LongestValue() const { return longest_; }

    // A value drawn by weight, in constant time. A library whose values weigh the same takes one
    // draw from `random`, any other two, so a seeded fill is repeatable.
    std::string_view Pick(RandomSource& random) const {
        const std::uint32_t column = random.RandomBelow(static_cast<std::uint32_t>(Count()));
        if (keep_.empty() || random.NextState() < keep_[column]) {
            return Value(column);
        }
        return Value(alias_[column]);
    }

private:
    explicit ValueLibrary(std::string name) : name_(std::move(name)) {}

    // The values of `text`, without the alias tables.
    static ValueLibrary ReadLines(std::string_view text, const std::string& name);
    void AddLine(std::string_view line, std::size_t lineNumber);
    // Refuses a library without values and builds the alias tables.
    void Finish();
    // Walker's alias tables: column i keeps its own value when a draw is below keep_[i] (out of
    // 2^32) and gives alias_[i]'s otherwise.
    void BuildAliasTables();

    std::string name_;
    std::string description_;
    std::string text_;
    // Value i is text_[starts_[i], starts_[i + 1]).
    std::vector<std::size_t> starts_{0};
    std::vector<std::uint32_t> weights_;
    std::size_t longest_ = 0;
    // Empty when every value weighs the same.
    std::vector<std::uint64_t> keep_;
    std::vector<std::uint32_t> alias_;
};

}  // namespace rowsmith
