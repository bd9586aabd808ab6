// PgWriter: what happens when the server refuses a batch: the batch is rolled back to its
// savepoint and its changes replayed one at a time, each under a savepoint, up to the one that
// fails; the changes before that one are then committed.
#include "engine/postgres/pg_copy_text.h"
#include "engine/postgres/pg_writer.h"

namespace rowsmith {

class PgWriter::Resend final : public ChangeBatch<Statement>::Handler {
public:
    explicit Resend(PgWriter& writer) : writer_(writer) {}
    void Prepare(const Statement& statement) override { writer_.Lock(*statement.target); }
    void Put(const Statement& statement) override { writer_.Run(statement); }

private:
    PgWriter& writer_;
};

void PgWriter::Recover() {
    const std::vector<Step> steps = std::move(steps_);
    const std::string copyText = std::move(copyText_);
    const bool inBatch = core_.InBatch();
    Forget();
    link_->AbandonCopy();
    if (!link_->Alive()) {
        // The server rolled the whole transaction back.
        core_.ForgetRun();
        throw;
    }
    if (inBatch) {
        try {
            core_.RollBackBatch();
        } catch (const EDBEngineError&) {
            // The failure below is the one worth reporting.
        }
    }
    if (steps.empty()) {
        // The failure being handled, as the class it has (a lock timeout, say).
        core_.KeepWritten();
        throw;
    }
    try {
        const ChangeBatch<Statement> changes = Unstream(steps, copyText);
        Resend resend(*this);
        core_.Replay(changes, changes.Size(), resend);
    } catch (const EDBEngineError&) {
        if (!link_->Alive()) {
            core_.ForgetRun();
            throw;
        }
        // The changes replayed before the failing one are kept.
        core_.KeepWritten();
        throw;
    }
}

ChangeBatch<PgWriter::Statement> PgWriter::Unstream(const std::vector<Step>& steps,
                                                    const std::string& copyText) {
    ChangeBatch<Statement> changes;
    for (const Step& step : steps) {
        if (const Statement* statement = std::get_if<Statement>(&step)) {
            changes.Add(*statement);
            continue;
        }
        const auto lines = [&](std::size_t begin, std::size_t end, const auto& add) {
            for (std::size_t pos = begin; pos < end;) {
                const std::size_t newline = copyText.find('\n', pos);
                add(std::string_view(copyText).substr(pos, newline - pos));
                pos = newline + 1;
            }
        };
        if (const UpdateRun* run = std::get_if<UpdateRun>(&step)) {
            lines(run->begin, run->end, [&](std::string_view line) {
                changes.Add(
                    Statement{run->target, run->form->single, DecodeCopyLine(line), true, true});
            });
            continue;
        }
        const CopyRun& run = std::get<CopyRun>(step);
        lines(run.begin, run.end, [&](std::string_view line) {
            changes.Add(LineInsert(run.target, run.columns, line, ""));
        });
    }
    return changes;
}

PgWriter::Statement PgWriter::LineInsert(const std::shared_ptr<PgTarget>& target,
                                         const std::string& columns, std::string_view line,
                                         const std::string& returning) {
    std::vector<PgText> values = DecodeCopyLine(line);
    std::string sql = InsertSql(target->table, columns, values.size()) + returning;
    return Statement{target, std::move(sql), std::move(values), false};
}

PgResult PgWriter::Run(const Statement& statement) {
    PgResult result = link_->QueryPrepared(statement.sql, statement.params);
    if (statement.mustTouch && PQntuples(result.get()) == 0) {
        throw EDBEngineError(kPgRecordGone);
    }
    if (statement.returnsXmin) {
        // One transaction writes all its versions with one xid: the list grows per transaction.
        std::vector<std::string>& xids = statement.target->walkXids;
        for (int row = 0; row < PQntuples(result.get()); ++row) {
            const char* xid = PQgetvalue(result.get(), row, 0);
            if (xids.empty() || xids.back() != xid) {
                xids.emplace_back(xid);
            }
        }
    }
    return result;
}

}  // namespace rowsmith
