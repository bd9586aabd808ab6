#include "engine/mariadb/mariadb_writer.h"

#include <algorithm>

#include "engine/database_errors.h"

namespace rowsmith {

namespace {

// Changes per transaction: large enough that commits cost little, small enough that a replay
// after a refusal is quick.
constexpr std::size_t kBatchChanges = 10000;
// The protocol allows 65535 placeholders to a statement.
constexpr std::size_t kMaxPlaceholders = 65535;
// Waiting rows are sent once their values reach this size, whatever their number, so that a
// statement stays far below the server's packet limit.
constexpr std::size_t kMaxWaitingBytes = 1u << 20;

std::size_t RowsPerInsert(std::size_t columns) {
    return std::clamp<std::size_t>(kMaxPlaceholders / std::max<std::size_t>(columns, 1), 1,
                                   kMariaRowsPerStatement);
}

std::size_t Bytes(const MariaValues& params) {
    std::size_t bytes = 0;
    for (const FieldValue& value : params.values) {
        const auto* text = std::get_if<std::string>(&value);
        bytes += text ? text->size() : sizeof(std::int64_t);
    }
    return bytes;
}

}  // namespace

const char* const kMariaRecordGone = "Record not found: it was changed or deleted by another user";

MariaWriter::MariaWriter(std::unique_ptr<MariaLink> link)
    : link_(std::move(link)), core_(*link_, {"START TRANSACTION", false}) {}

void MariaWriter::Reconnect() {
    if (!link_->Lost() || core_.InBatch()) {
        return;
    }
    if (core_.DryRun()) {
        // A new connection would write for real, outside the transaction that was lost.
        throw EDBEngineError("The connection to the server was lost during the dry run");
    }
    Revive();
}

void MariaWriter::Revive() {
    link_->Revive();
    tableLocks_.TakeAgain(*link_);
}

MariaLink& MariaWriter::Settled() {
    Reconnect();
    if (sent_ < steps_.Size()) {
        Guarded(steps_.Size(), [&] { SendRows(steps_.Size()); });
    }
    return *link_;
}

void MariaWriter::BeginRun() {
    core_.Depth().Enter();
}

void MariaWriter::EndRun() {
    if (!core_.InRun()) {
        return;
    }
    const RunDepth::Exit leave(core_.Depth());
    struct Unlock {
        MariaWriter& writer;
        bool outermost;
        ~Unlock() {
            if (outermost) {
                writer.tableLocks_.ReleaseAll(*writer.link_);
            }
        }
    } unlock{*this, core_.Depth().Outermost() && !core_.DryRun()};
    // Also at the end of a run inside a dry run, so that its failures come where a real run's do.
    Commit();
}

void MariaWriter::BeginDryRun() {
    Settled();
    core_.BeginDryRun();
}

void MariaWriter::EndDryRun() {
    if (!core_.Depth().LeaveDry()) {
        return;
    }
    Forget();
    if (!link_->Lost()) {
        link_->Execute("ROLLBACK");
    }
    tableLocks_.ReleaseAll(*link_);
}

void MariaWriter::Open(const MariaTarget& target) {
    if (!target.transactional) {
        throw EDBEngineError("Table '" + target.name + "' is stored by the " + target.engine +
                             " engine, which has no transactions: a fill that fails halfway "
                             "could not be undone. Convert it to InnoDB to fill it");
    }
    if (target.exclusive && !tableLocks_.Holds(target.name)) {
        // What came before is kept whether the lock can be had or not.
        Commit();
        tableLocks_.Take(*link_, target.name);
    }
    core_.OpenBatch();
}

template <typename Action>
void MariaWriter::Guarded(std::size_t keepIfLost, Action action) {
    try {
        action();
    } catch (const EDBEngineError&) {
        Recover(link_->Lost() ? keepIfLost : steps_.Size());
    }
}

void MariaWriter::Execute(const MariaTarget& target, const std::string& sql,
                          const MariaValues& params) {
    Settled();
    if (!InRun()) {
        Run(Step{sql, params, std::string::npos, nullptr});
        return;
    }
    Open(target);
    steps_.Add(Step{sql, params, std::string::npos, nullptr});
    sent_ = steps_.Size();
    // A change that meets the loss of the connection is not kept; those before it are.
    Guarded(steps_.Size() - 1, [&] { Run(steps_.Last()); });
    if (steps_.Size() >= kBatchChanges) {
        Commit();
    }
}

void MariaWriter::Insert(const MariaTarget& target, const std::string& sql, std::size_t valuesAt,
                         const MariaValues& params) {
    Reconnect();
    if (!InRun()) {
        Run(Step{sql, params, valuesAt, nullptr});
        return;
    }
    const bool joins = sent_ < steps_.Size() && steps_.Last().sql == sql;
    Wait(target, Step{sql, params, valuesAt, nullptr}, joins);
}

void MariaWriter::Update(const MariaTarget& target, const std::shared_ptr<MariaUpdateForm>& form,
                         const MariaValues& params, const std::vector<FieldValue>& oldKey,
                         const std::vector<FieldValue>& newKey) {
    Reconnect();
    if (!InRun()) {
        Run(Step{form->single, params, std::string::npos, form});
        return;
    }
    // One UPDATE writes each record once, and its order among the rows is not the posts' order,
    // so a record met again starts a new set. A walk that keeps the keys meets them in rising
    // order, which tells that without remembering them all.
    const bool same = sent_ < steps_.Size() && steps_.Last().form == form;
    const bool rises = newKey == oldKey && (!same || oldKey > lastKey_);
    bool joins = false;
    if (same && ascending_) {
        joins = rises;
    } else if (same) {
        joins =
            !waitingKeys_.contains(oldKey) && (newKey == oldKey || !waitingKeys_.contains(newKey));
    }
    Wait(target, Step{form->fill, params, form->valuesAt, form}, joins);
    if (!joins) {
        ascending_ = newKey == oldKey;
        waitingKeys_.clear();
    }
    if (ascending_) {
        lastKey_ = oldKey;
    } else {
        waitingKeys_.insert(oldKey);
        waitingKeys_.insert(newKey);
    }
}

void MariaWriter::Wait(const MariaTarget& target, Step step, bool joins) {
    if (!joins && sent_ < steps_.Size()) {
        Guarded(steps_.Size(), [&] { SendRows(steps_.Size()); });
    }
    Open(target);
    waitingBytes_ += Bytes(step.params);
    steps_.Add(std::move(step));
    // The first row of a table in a transaction goes at once: a lock another connection holds
    // on the table stops the write of that row, where the table's name is known.
    const bool first = core_.NoteWrite(target.name);
    const std::size_t rowsAtOnce = steps_.Last().form
                                       ? kMariaUpdateSetRows
                                       : RowsPerInsert(steps_.Last().params.values.size());
    if (first || steps_.Size() - sent_ >= rowsAtOnce || waitingBytes_ >= kMaxWaitingBytes) {
        // A row that meets the loss of the connection is not kept; those before it are.
        Guarded(steps_.Size() - 1, [&] { SendRows(steps_.Size()); });
    }
    if (steps_.Size() >= kBatchChanges) {
        Commit();
    }
}

std::uint64_t MariaWriter::LastInsertId() {
    if (sent_ < steps_.Size()) {
        Guarded(steps_.Size(), [&] {
            SendRows(steps_.Size() - 1);
            Run(steps_.Last());
            sent_ = steps_.Size();
        });
    }
    return lastInsertId_;
}

void MariaWriter::SendRows(std::size_t end) {
    while (sent_ < end) {
        const Step& first = steps_[sent_];
        const std::size_t full = RowsPerInsert(first.params.values.size());
        // The waiting updates are one set: it goes into the temporary table in as many INSERTs as
        // it takes, and one UPDATE applies it.
        MariaUpdateForm* form = first.form.get();
        const std::size_t last = form != nullptr ? end : std::min(end, sent_ + full);
        if (form != nullptr) {
            if (form->createdOn != link_->Generation()) {
                link_->Execute(form->create);
                form->createdOn = link_->Generation();
            }
            link_->Execute(form->clear);
        }
        for (std::size_t at = sent_; at < last;) {
            const std::size_t rows = std::min(last - at, full);
            InsertRows(first, at, rows);
            // Only the statement of a full set of rows comes back often enough to keep prepared.
            link_->Query(rowsSql_, rowParams_, rows != full);
            at += rows;
        }
        if (form != nullptr) {
            Apply(*form, sent_, last);
        }
        sent_ = last;
    }
    if (sent_ == steps_.Size()) {
        waitingBytes_ = 0;
    }
}

void MariaWriter::InsertRows(const Step& first, std::size_t at, std::size_t rows) {
    rowsSql_ = first.sql;
    const std::string_view marks = std::string_view(first.sql).substr(first.valuesAt);
    rowParams_.clear();
    for (std::size_t row = 0; row < rows; ++row) {
        const MariaValues& params = steps_[at + row].params;
        if (row > 0) {
            rowsSql_ += ", ";
            rowsSql_ += marks;
        }
        for (std::size_t i = 0; i < params.values.size(); ++i) {
            rowParams_.push_back(MariaParam{&params.values[i], params.binds[i]});
        }
    }
}

void MariaWriter::Apply(MariaUpdateForm& form, std::size_t first, std::size_t end) {
    const std::size_t rows = end - first;
    const auto* low = std::get_if<std::int64_t>(&steps_[first].params.values.back());
    const auto* high = std::get_if<std::int64_t>(&steps_[end - 1].params.values.back());
    if (ascending_ && !form.applyInRange.empty() && low != nullptr && high != nullptr) {
        // The keys rise through the set, so its first and last key bound it.
        link_->Query(form.applyInRange + std::to_string(*low) + " AND " + std::to_string(*high));
    } else {
        link_->Query(ascending_ ? form.applyKeepingKeys : form.apply);
    }
    // The connection counts the records an update matched: fewer than the rows means one is
    // gone, and the replay finds which.
    if (link_->AffectedRows() < rows) {
        throw EDBEngineError(kMariaRecordGone);
    }
}

void MariaWriter::Run(const Step& step) {
    std::vector<MariaParam> params;
    params.reserve(step.params.values.size());
    for (std::size_t i = 0; i < step.params.values.size(); ++i) {
        params.push_back(MariaParam{&step.params.values[i], step.params.binds[i]});
    }
    if (step.form) {
        link_->Query(step.form->single, params);
        if (link_->AffectedRows() == 0) {
            throw EDBEngineError(kMariaRecordGone);
        }
        return;
    }
    link_->Query(step.sql, params);
    if (step.valuesAt != std::string::npos) {
        lastInsertId_ = link_->LastInsertId();
    }
}

void MariaWriter::Commit() {
    if (!core_.InBatch()) {
        return;
    }
    try {
        SendRows(steps_.Size());
    } catch (const EDBEngineError&) {
        Recover(steps_.Size());
        return;
    }
    try {
        core_.ReleaseBatch();
    } catch (const EDBEngineError&) {
        if (!link_->Lost() || core_.DryRun()) {
            Recover(steps_.Size());
            return;
        }
        // The server may have committed before its answer was lost; a replay could write the
        // same records twice, so the outcome is told instead.
        Forget();
        throw EDBEngineError(
            "The connection to the server was lost while it committed the last changes; they "
            "may or may not have been kept");
    }
    Forget();
}

void MariaWriter::Forget() {
    steps_.Clear();
    sent_ = 0;
    waitingBytes_ = 0;
    waitingKeys_.clear();
    core_.ForgetBatch();
}

}  // namespace rowsmith
