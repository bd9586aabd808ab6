#include "fill/fingerprint_set.h"

namespace rowsmith {

namespace {

constexpr std::size_t kFirstCapacity = 1024;

}  // namespace

// The slot holding `stored`, or the empty slot where it would go. REQUIRES: a table with room.
std::size_t FingerprintSet::Slot(std::uint64_t stored) const {
    const std::size_t mask = slots_.size() - 1;
    // The fingerprints are hashes already; their high bits pick the slot, mixed once more so
    // that a weak hash still spreads.
    std::size_t slot = static_cast<std::size_t>((stored * 0x9E3779B97F4A7C15u) >> 32) & mask;
    while (slots_[slot] != 0 && slots_[slot] != stored) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

bool FingerprintSet::Contains(std::uint64_t fingerprint) const {
    if (slots_.empty()) {
        return false;
    }
    const std::uint64_t stored = Stored(fingerprint);
    return slots_[Slot(stored)] == stored;
}

bool FingerprintSet::Insert(std::uint64_t fingerprint) {
    if (2 * (size_ + 1) > slots_.size()) {
        Grow();
    }
    const std::uint64_t stored = Stored(fingerprint);
    const std::size_t slot = Slot(stored);
    if (slots_[slot] == stored) {
        return false;
    }
    slots_[slot] = stored;
    ++size_;
    return true;
}

void FingerprintSet::Grow() {
    std::vector<std::uint64_t> old(slots_.empty() ? kFirstCapacity : 2 * slots_.size(), 0);
    old.swap(slots_);
    for (const std::uint64_t stored : old) {
        if (stored != 0) {
            slots_[Slot(stored)] = stored;
        }
    }
}

}  // namespace rowsmith
