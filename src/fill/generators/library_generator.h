// LibraryGenerator: "Random value from a library", one value per record drawn by weight from the
// value library the setting names (a library's name, or the path of its file relative to the
// scenario's folder). The library is read once per fill, from the fill's shelf.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fill/generators/column_generator.h"

namespace rowsmith {

class ValueLibrary;

class LibraryGenerator final : public ColumnGenerator {
public:
    using ColumnGenerator::ColumnGenerator;

    // A library that can be found and read and holds values; without libraries to look in,
    // any name passes.
    bool CheckValue(const std::string& text, const CursorField* column) const override;
    std::string Refusal(const std::string& text, const CursorField* column) const override;
    double DistinctValues() const override;
    // A library that cannot be read fails, and values longer than the column keeps are cut.
    void CheckFit(TFieldType type, int size, std::vector<std::string>& misfits) const override;
    std::int64_t LongestText() const override;
    void Write() override;
    // Unique values take each distinct value of the library once, in a random order; weights
    // no longer count.
    bool DrawWithoutReplacement() override;
    bool Exhausted() const override;

private:
    void Load();

    // The library `name`, or null with `reason` saying why there is none.
    const ValueLibrary* Find(const std::string& name, std::string& reason) const;

    const ValueLibrary* library_ = nullptr;
    std::string text_;
    // For unique values: the positions of the library's distinct values, those before given_
    // already written.
    std::vector<std::uint32_t> left_;
    std::size_t given_ = 0;
    bool unique_ = false;
};

}  // namespace rowsmith
