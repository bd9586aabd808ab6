#include "engine/batch_core.h"

#include <algorithm>
#include <utility>

namespace rowsmith {

namespace {

bool Contains(const std::vector<std::string>& tables, const std::string& table) {
    return std::find(tables.begin(), tables.end(), table) != tables.end();
}

}  // namespace

BatchCore::BatchCore(BatchLink& link, BatchDialect dialect)
    : link_(link), dialect_(std::move(dialect)) {}

void BatchCore::BeginDryRun() {
    link_.Execute(dialect_.begin);
    depth_.EnterDry();
}

void BatchCore::OpenBatch() {
    if (dialect_.runIsOneTransaction && !depth_.Dry() && !inRunTransaction_) {
        link_.Execute(dialect_.begin);
        inRunTransaction_ = true;
    }
    if (!inBatch_) {
        link_.Execute(Savepointed() ? "SAVEPOINT batch" : dialect_.begin);
        inBatch_ = true;
    }
}

void BatchCore::ReleaseBatch() {
    link_.Execute(Savepointed() ? "RELEASE SAVEPOINT batch" : "COMMIT");
    EndBatch();
}

void BatchCore::RollBackBatch() {
    // The batch is over whether the server answers or not.
    locked_.resize(locked_.size() - batchLocks_);
    EndBatch();
    if (Savepointed()) {
        link_.Execute("ROLLBACK TO SAVEPOINT batch");
        link_.Execute("RELEASE SAVEPOINT batch");
    } else {
        link_.Execute("ROLLBACK");
    }
}

void BatchCore::EndBatch() {
    inBatch_ = false;
    batchLocks_ = 0;
    if (!dialect_.runIsOneTransaction) {
        written_.clear();
    }
}

void BatchCore::CommitRun() {
    if (!inRunTransaction_) {
        return;
    }
    ForgetRun();
    link_.Execute("COMMIT");
}

void BatchCore::KeepWritten() {
    if (!inRunTransaction_) {
        return;
    }
    ForgetRun();
    if (link_.Alive()) {
        link_.Execute("COMMIT");
    }
}

void BatchCore::ForgetBatch() {
    inBatch_ = false;
    if (!dialect_.runIsOneTransaction) {
        written_.clear();
    }
}

void BatchCore::ForgetRun() {
    inRunTransaction_ = false;
    written_.clear();
    locked_.clear();
    batchLocks_ = 0;
}

bool BatchCore::Wrote(const std::string& table) const {
    return Contains(written_, table);
}

bool BatchCore::NoteWrite(const std::string& table) {
    if (Contains(written_, table)) {
        return false;
    }
    written_.push_back(table);
    return true;
}

bool BatchCore::Locked(const std::string& table) const {
    return Contains(locked_, table);
}

void BatchCore::NoteLock(const std::string& table) {
    locked_.push_back(table);
    ++batchLocks_;
}

}  // namespace rowsmith
