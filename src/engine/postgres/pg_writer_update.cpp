// PgWriter: the updates of a fill run, streamed by COPY into a temporary table and written over
// the table's rows by one UPDATE per batch. Where a walk's read ends the batch, the UPDATE runs
// while the walk makes the next updates.
#include <algorithm>
#include <cstdlib>

#include "engine/postgres/pg_writer.h"

namespace rowsmith {

void PgWriter::UpdateRow(const std::shared_ptr<PgTarget>& target,
                         const std::shared_ptr<const UpdateForm>& form, const std::string& oldKey,
                         const std::string& newKey, std::string_view line) {
    if (ending_ && std::holds_alternative<UpdateRun>(steps_.back())) {
        const UpdateRun& ended = std::get<UpdateRun>(steps_.back());
        // A record met twice waits for the UPDATE, as does one that moves.
        if (ended.target == target && ended.form == form && newKey == oldKey &&
            nextKeys_.insert(oldKey).second) {
            Hold(line, kUpdateChanges, kBatchBytes);
            return;
        }
    }
    Resume();
    Reconnect();
    const UpdateRun* last = steps_.empty() ? nullptr : std::get_if<UpdateRun>(&steps_.back());
    const bool sameRun = last && link_->Copying() && last->target == target && last->form == form &&
                         !updateKeys_.contains(oldKey) &&
                         (newKey == oldKey || !updateKeys_.contains(newKey));
    if (!sameRun && link_->Copying()) {
        Guarded([&] { FinishCopy(); });
    }
    // A full batch ends where a run ends (a walk reads its next records), so that no run is cut
    // short and its few rows cost a temporary table and a statement of their own.
    if (!sameRun && changes_ >= kBatchChanges) {
        Commit();
    }
    Guarded([&] {
        // The row joins the steps before anything can fail, so a replay includes it.
        if (!sameRun) {
            steps_.push_back(UpdateRun{target, form, copyText_.size(), copyText_.size()});
            updateKeys_.clear();
        }
        UpdateRun& run = std::get<UpdateRun>(steps_.back());
        copyText_.append(line);
        copyText_ += '\n';
        run.end = copyText_.size();
        heldLine_ = copyText_.size();
        ++changes_;
        // Once per run, not per record: a moved key, or updates other than a walk's on a table
        // it had not written, may change what lies ahead of a walk.
        if (newKey != oldKey && !run.movesKeys) {
            run.movesKeys = true;
            writtenOtherwise_.insert(target->table);
        }
        updateKeys_.insert(oldKey);
        updateKeys_.insert(newKey);
        if (!sameRun) {
            if (!target->walkOnUnwritten) {
                writtenOtherwise_.insert(target->table);
            }
            StartUpdateCopy(*target, *form);
        }
        if (heldLine_ - sent_ >= kSendChunk) {
            SendPending();
        }
    });
    if (changes_ >= kUpdateChanges || copyText_.size() >= kBatchBytes) {
        Commit();
    }
}

PgLink& PgWriter::WalkLink(const PgTarget& target) {
    const UpdateRun* run = steps_.empty() ? nullptr : std::get_if<UpdateRun>(&steps_.back());
    if (run == nullptr || run->target.get() != &target || !(ending_ || link_->Copying()) ||
        !target.walkOnUnwritten || writtenOtherwise_.contains(target.table) || core_.DryRun()) {
        return ReadLink(target);
    }
    // The run's updates are written while a second connection reads what lies ahead, and the
    // updates the walk posts next wait for them (the second read of a read-ahead finds them
    // sent already).
    if (!ending_) {
        Guarded([&] {
            heldLine_ = copyText_.size();
            SendPending();
            link_->FinishCopy();
            link_->SendQuery(run->form->applyKeepingKeys);
        });
        // A replay has ended the batch already.
        if (!core_.InBatch()) {
            return ReadLink(target);
        }
        ending_ = true;
        nextCheck_ = kSendChunk;
    }
    return Reader();
}

void PgWriter::StartUpdateCopy(PgTarget& target, const UpdateForm& form) {
    Open(target);
    link_->Execute(form.create);
    link_->StartCopy(form.fill);
}

void PgWriter::RestartUpdates(const UpdateRun& ended, std::unordered_set<std::string> keys) {
    Guarded([&] {
        steps_.push_back(UpdateRun{ended.target, ended.form, 0, copyText_.size()});
        heldLine_ = copyText_.size();
        updateKeys_ = std::move(keys);
        StartUpdateCopy(*ended.target, *ended.form);
        SendPending();
    });
}

void PgWriter::Apply(const UpdateRun& run) {
    long long written = 0;
    if (run.movesKeys) {
        PgResult result = link_->Query(run.form->apply);
        std::vector<std::string>& xids = run.target->walkXids;
        for (int row = 0; row < PQntuples(result.get()); ++row) {
            const char* xid = PQgetvalue(result.get(), row, 0);
            if (std::find(xids.begin(), xids.end(), xid) == xids.end()) {
                xids.emplace_back(xid);
            }
            written += std::atoll(PQgetvalue(result.get(), row, 1));
        }
    } else {
        // Each new row version keeps its key, behind the walk, which never meets it again.
        written = std::atoll(PQcmdTuples(link_->Query(run.form->applyKeepingKeys).get()));
    }
    CheckWritten(run, written);
}

void PgWriter::CheckWritten(const UpdateRun& run, long long written) const {
    const auto lines = std::count(copyText_.begin() + static_cast<std::ptrdiff_t>(run.begin),
                                  copyText_.begin() + static_cast<std::ptrdiff_t>(run.end), '\n');
    // A key that names no row any more: the replay finds which one.
    if (written < lines) {
        throw EDBEngineError(kPgRecordGone);
    }
}

}  // namespace rowsmith
