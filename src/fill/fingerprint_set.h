// FingerprintSet: a set of 64-bit fingerprints of values, kept in one flat table with linear
// probing, so that a unique column written record by record costs one memory access per lookup
// and no allocation per value. The table doubles when half full: 16 to 32 bytes a fingerprint.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rowsmith {

class FingerprintSet {
public:
    bool Contains(std::uint64_t fingerprint) const;
    // Adds the fingerprint; false when it was there already.
    bool Insert(std::uint64_t fingerprint);
    bool Empty() const { return size_ == 0; }

private:
    // 0 marks an empty slot, so the fingerprint 0 is kept as 1 (a value more drawn again at
    // worst, never a repeat written).
    static std::uint64_t Stored(std::uint64_t fingerprint) {
        return fingerprint == 0 ? 1 : fingerprint;
    }
    std::size_t Slot(std::uint64_t stored) const;
    void Grow();

    std::vector<std::uint64_t> slots_;
    std::size_t size_ = 0;
};

}  // namespace rowsmith
