// ChangeBatch: changes a server driver has written in the open batch of a fill run, kept as
// plain data until the batch is committed, so that a batch the server refuses can be written
// again one change at a time. What a change is belongs to the driver; Iterate hands the changes,
// in the order they were made, to a handler the driver supplies, which says how one is sent.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace rowsmith {

template <typename Change>
class ChangeBatch {
public:
    class Handler {
    public:
        virtual ~Handler() = default;
        // Called for each change before the first Put: takes what the change needs before
        // anything is written (a table lock), so that a replay does not stop halfway for it.
        virtual void Prepare(const Change&) {}
        // Writes one change on its own; raises the server's refusal of it.
        virtual void Put(const Change& change) = 0;
    };

    bool Empty() const { return changes_.empty(); }
    std::size_t Size() const { return changes_.size(); }
    const Change& operator[](std::size_t i) const { return changes_[i]; }
    Change& Last() { return changes_.back(); }

    void Add(Change change) { changes_.push_back(std::move(change)); }
    void Clear() { changes_.clear(); }

    // Prepares and then puts the first `count` changes.
    void Iterate(Handler& handler, std::size_t count) const {
        count = count < changes_.size() ? count : changes_.size();
        for (std::size_t i = 0; i < count; ++i) {
            handler.Prepare(changes_[i]);
        }
        for (std::size_t i = 0; i < count; ++i) {
            handler.Put(changes_[i]);
        }
    }
    void Iterate(Handler& handler) const { Iterate(handler, changes_.size()); }

private:
    std::vector<Change> changes_;
};

}  // namespace rowsmith
