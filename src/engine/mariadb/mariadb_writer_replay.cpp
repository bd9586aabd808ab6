// MariaWriter: what happens when the server refuses a change or the connection is lost: the
// transaction is rolled back, or the connection opened again, and the changes before the failing
// one are replayed one at a time and committed.
#include "engine/mariadb/mariadb_writer.h"

#include <utility>

#include "engine/database_errors.h"

namespace rowsmith {

namespace {

// True when the failure being handled is a lock wait that ran out. REQUIRES: called from the
// handler of a failure.
bool LockWaitRanOut() {
    try {
        throw;
    } catch (const ELockTimeout&) {
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

class MariaWriter::Resend final : public ChangeBatch<Step>::Handler {
public:
    explicit Resend(MariaWriter& writer) : writer_(writer) {}
    void Put(const Step& step) override { writer_.Run(step); }

private:
    MariaWriter& writer_;
};

void MariaWriter::Recover(std::size_t keep) {
    const ChangeBatch<Step> steps = std::move(steps_);
    Forget();
    if (LockWaitRanOut() && link_->InTransaction()) {
        // The server undid the statement that waited, and only that one: what came before it
        // stands, and a replay would wait for the same lock again.
        core_.ReleaseBatch();
        throw;
    }
    const bool lost = link_->Lost();
    if (lost && core_.DryRun()) {
        throw EDBEngineError("The connection to the server was lost during the dry run");
    }
    if (lost) {
        bool revived = true;
        try {
            link_->Revive();
        } catch (const EDBEngineError&) {
            revived = false;
        }
        if (!revived) {
            // The server cannot be reached: what the transaction held is gone with it.
            throw;
        }
        // Another fill that took a table's lock meanwhile keeps the replay out of it: the lock
        // timeout is then raised, and what the transaction held is gone.
        tableLocks_.TakeAgain(*link_);
    } else {
        try {
            core_.RollBackBatch();
        } catch (const EDBEngineError&) {
            // The failure being handled is the one worth reporting.
        }
    }
    if (keep == 0) {
        throw;
    }
    try {
        Resend resend(*this);
        core_.Replay(steps, keep, resend);
    } catch (const EDBEngineError&) {
        if (!link_->Lost() && core_.InBatch()) {
            try {
                core_.RollBackBatch();
            } catch (const EDBEngineError&) {
                // The failure being handled is the one worth reporting.
            }
        }
        throw;
    }
    if (lost) {
        throw;
    }
}

}  // namespace rowsmith
