// RunDepth: how deep a connection is in fill runs, and whether a dry run holds them. Runs nest:
// a dry run holds the fill runs inside it, and a fill may run inside another. What the end of a
// run commits and the end of a dry run rolls back is the driver's; this only counts.
#pragma once

namespace rowsmith {

class RunDepth {
public:
    bool InRun() const { return depth_ > 0; }
    bool Outermost() const { return depth_ == 1; }
    bool Dry() const { return dry_; }

    void Enter() { ++depth_; }
    // REQUIRES: InRun().
    void Leave() { --depth_; }
    // REQUIRES: no run going on.
    void EnterDry() {
        dry_ = true;
        ++depth_;
    }
    // Leaves the dry run; false when none was open.
    bool LeaveDry() {
        if (!dry_) {
            return false;
        }
        dry_ = false;
        --depth_;
        return true;
    }

    // Leaves one level when it goes, so that a run whose end fails has ended all the same.
    class Exit {
    public:
        explicit Exit(RunDepth& depth) : depth_(depth) {}
        ~Exit() { depth_.Leave(); }
        Exit(const Exit&) = delete;
        Exit& operator=(const Exit&) = delete;

    private:
        RunDepth& depth_;
    };

private:
    int depth_ = 0;
    bool dry_ = false;
};

}  // namespace rowsmith
