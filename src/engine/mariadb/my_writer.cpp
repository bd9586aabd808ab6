#include "engine/mariadb/my_writer.h"

#include "engine/database_errors.h"

namespace rowsmith {

namespace {

// Changes per transaction: large enough that commits cost little, small enough that a replay
// after a refusal is quick.
constexpr std::size_t kBatchChanges = 2000;

}  // namespace

MyWriter::MyWriter(std::unique_ptr<MyLink> link) : link_(std::move(link)) {}

void MyWriter::BeginRun() {
    ++runDepth_;
}

void MyWriter::EndRun() {
    if (runDepth_ == 0) {
        return;
    }
    if (--runDepth_ == 0) {
        Commit();
    }
}

void MyWriter::Execute(const MyTarget& target, const std::string& sql, const MyValues& params) {
    if (!InRun()) {
        Run(Step{sql, params});
        return;
    }
    if (!target.transactional) {
        throw EDBEngineError("Table '" + target.name + "' is stored by the " + target.engine +
                             " engine, which has no transactions: a fill that fails halfway "
                             "could not be undone. Convert it to InnoDB to fill it");
    }
    if (!inTransaction_) {
        link_->Execute("START TRANSACTION");
        inTransaction_ = true;
    }
    steps_.push_back(Step{sql, params});
    try {
        Run(steps_.back());
    } catch (const EDBEngineError&) {
        Recover();
        return;
    }
    if (steps_.size() >= kBatchChanges) {
        Commit();
    }
}

void MyWriter::Run(const Step& step) {
    std::vector<MyParam> params;
    params.reserve(step.params.values.size());
    for (std::size_t i = 0; i < step.params.values.size(); ++i) {
        params.push_back(MyParam{&step.params.values[i], step.params.bytes[i]});
    }
    link_->Query(step.sql, params);
}

void MyWriter::Commit() {
    if (!inTransaction_) {
        return;
    }
    try {
        link_->Execute("COMMIT");
    } catch (const EDBEngineError&) {
        Recover();
        return;
    }
    inTransaction_ = false;
    steps_.clear();
}

void MyWriter::Recover() {
    std::vector<Step> steps = std::move(steps_);
    steps_.clear();
    inTransaction_ = false;
    try {
        link_->Execute("ROLLBACK");
    } catch (const EDBEngineError&) {
        // A lost transaction is rolled back by the server anyway.
    }
    // Outside a transaction each change commits on its own, so a failure keeps exactly those
    // before it.
    for (const Step& step : steps) {
        Run(step);
    }
}

}  // namespace rowsmith
