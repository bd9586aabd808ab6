// BatchCore: what the server drivers share in writing a fill run in batches. A real run's changes
// go in batches, each either a transaction of its own or, where the run is one transaction, a
// savepoint in it; a dry run holds one transaction from its beginning to its end, which rolls it
// back, and its batches are savepoints in it. A batch the server refuses is rolled back and
// written again one change at a time, each under a savepoint of its own, so that exactly the
// changes before the refused one are kept. The driver holds its changes in a ChangeBatch and says
// how one is sent; this class runs the transactions and savepoints around them, on the driver's
// connection, and remembers which tables the open transaction wrote and locked.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/change_batch.h"
#include "engine/database_errors.h"
#include "engine/run_depth.h"

namespace rowsmith {

// What the batch core needs of a server connection.
class BatchLink {
public:
    virtual ~BatchLink() = default;
    // Runs SQL without parameters or result; raises EDBEngineError.
    virtual void Execute(const std::string& sql) = 0;
    // False once the connection is lost: the server has rolled back what was open on it.
    virtual bool Alive() const = 0;
    // True when the open transaction takes no statement until it is rolled back to a savepoint.
    virtual bool TransactionFailed() const = 0;
};

// How a server opens a transaction, and whether a fill run is one transaction.
struct BatchDialect {
    std::string begin;
    // One transaction holds the run, each batch a savepoint in it; otherwise each batch is a
    // transaction of its own, and a savepoint only inside a dry run.
    bool runIsOneTransaction = false;
};

class BatchCore {
public:
    BatchCore(BatchLink& link, BatchDialect dialect);

    RunDepth& Depth() { return depth_; }
    bool InRun() const { return depth_.InRun(); }
    bool DryRun() const { return depth_.Dry(); }

    // Opens the dry run's transaction. REQUIRES: no run going on.
    void BeginDryRun();

    bool InBatch() const { return inBatch_; }
    // A real run's own transaction is open (only where the run is one transaction).
    bool InRunTransaction() const { return inRunTransaction_; }
    // Opens what is not open yet of the run's transaction and the batch.
    void OpenBatch();
    // Ends the batch, keeping its changes.
    void ReleaseBatch();
    // Ends the batch, undoing its changes and the locks taken in it.
    void RollBackBatch();
    // Commits the run's transaction, when one is open; its failure is raised, and nothing of it
    // is kept.
    void CommitRun();
    // After a failure in a real run: commits what the run's transaction still holds, so that the
    // error leaves the driver with those changes kept.
    void KeepWritten();
    // The batch, or the run's transaction, is over without a word to the server: the server
    // ended it itself, or the driver's caller rolls it back.
    void ForgetBatch();
    void ForgetRun();

    // The tables the open transaction wrote, by name: two cursors on one table (the work table
    // and a master cursor on it) are one table.
    bool Wrote(const std::string& table) const;
    // True when this is the open transaction's first write of `table`.
    bool NoteWrite(const std::string& table);
    // The table locks the open transaction holds; those taken in the open batch go with it when
    // it is rolled back.
    bool Locked(const std::string& table) const;
    void NoteLock(const std::string& table);

    // Writes the first `count` changes of `batch` through `send` in a new batch, each under
    // SAVEPOINT replay, and releases the batch. The first change refused is undone and its error
    // raised, with the batch released so that it keeps the changes before (or rolled back when
    // the server takes nothing more in it); a lost connection is raised as it is.
    template <typename Change>
    void Replay(const ChangeBatch<Change>& batch, std::size_t count,
                typename ChangeBatch<Change>::Handler& send);

private:
    // Each change of a replay alone under its savepoint.
    template <typename Change>
    class Alone final : public ChangeBatch<Change>::Handler {
    public:
        Alone(BatchLink& link, typename ChangeBatch<Change>::Handler& send)
            : link_(link), send_(send) {}
        void Prepare(const Change& change) override { send_.Prepare(change); }
        void Put(const Change& change) override {
            link_.Execute("SAVEPOINT replay");
            try {
                send_.Put(change);
            } catch (const EDBEngineError&) {
                // Keep everything before the refused change.
                link_.Execute("ROLLBACK TO SAVEPOINT replay");
                link_.Execute("RELEASE SAVEPOINT replay");
                throw;
            }
            link_.Execute("RELEASE SAVEPOINT replay");
        }

    private:
        BatchLink& link_;
        typename ChangeBatch<Change>::Handler& send_;
    };

    // A batch is a savepoint rather than a transaction of its own.
    bool Savepointed() const { return dialect_.runIsOneTransaction || depth_.Dry(); }
    // The written tables go with the batch where each batch is a transaction.
    void EndBatch();

    BatchLink& link_;
    const BatchDialect dialect_;
    RunDepth depth_;
    bool inRunTransaction_ = false;
    bool inBatch_ = false;
    std::vector<std::string> written_;
    std::vector<std::string> locked_;
    std::size_t batchLocks_ = 0;
};

template <typename Change>
void BatchCore::Replay(const ChangeBatch<Change>& batch, std::size_t count,
                       typename ChangeBatch<Change>::Handler& send) {
    OpenBatch();
    Alone<Change> alone(link_, send);
    try {
        batch.Iterate(alone, count);
    } catch (const EDBEngineError&) {
        if (link_.Alive() && inBatch_ && link_.TransactionFailed()) {
            RollBackBatch();
        } else if (link_.Alive() && inBatch_) {
            ReleaseBatch();
        }
        throw;
    }
    ReleaseBatch();
}

}  // namespace rowsmith
