// PostgresTable: the writes. In a fill run, inserts and the updates of a table keyed by its
// primary key go to the writer as COPY lines; everything else as statements of their own.
#include "engine/database_errors.h"
#include "engine/postgres/pg_copy_text.h"
#include "engine/postgres/postgres_table.h"

namespace rowsmith {

void PostgresTable::UseColumns(const std::vector<bool>& assigned) {
    if (assigned == insertAssigned_ && !insertColumns_.empty()) {
        return;
    }
    insertAssigned_ = assigned;
    insertColumns_.clear();
    for (std::size_t i = 0; i < columns_.size() && i < assigned.size(); ++i) {
        if (assigned[i]) {
            insertColumns_ +=
                (insertColumns_.empty() ? "" : ", ") + QuoteIdentifier(columns_[i].info.name);
        }
    }
}

void PostgresTable::Insert(const std::vector<FieldValue>& values,
                           const std::vector<bool>& assigned) {
    UseColumns(assigned);
    lastKey_.reset();
    if (insertColumns_.empty()) {
        PgResult result = writer_->Execute(
            target_, "INSERT INTO " + target_->table + " DEFAULT VALUES" + returningKey_, {},
            false);
        if (result && PQntuples(result.get()) == 1) {
            lastKey_ = KeyOf(result.get(), 0, 0);
        }
        return;
    }
    // The one choice of the insert path: a fill run streams its rows through COPY, whose keys are
    // learnt only when asked for; outside a run an INSERT writes the row and gives its key.
    if (writer_->InRun()) {
        line_.clear();
        bool first = true;
        for (std::size_t i = 0; i < columns_.size() && i < assigned.size(); ++i) {
            if (assigned[i]) {
                AppendCopyField(line_, first, values[i], columns_[i].kind);
                first = false;
            }
        }
        writer_->CopyRow(target_, insertColumns_, line_);
        return;
    }
    std::vector<PgText> params;
    for (std::size_t i = 0; i < columns_.size() && i < assigned.size(); ++i) {
        if (assigned[i]) {
            params.push_back(PgParam(values[i], columns_[i].kind));
        }
    }
    const std::size_t count = params.size();
    PgResult result =
        writer_->Execute(target_, InsertSql(target_->table, insertColumns_, count) + returningKey_,
                         std::move(params), false);
    lastKey_ = KeyOf(result.get(), 0, 0);
}

RecordKey PostgresTable::LastInsertKey() {
    if (!lastKey_) {
        PgResult result = writer_->WriteHeldRow(target_, returningKey_);
        if (!result || PQntuples(result.get()) != 1) {
            throw EDBEngineError("The appended record cannot be found again");
        }
        lastKey_ = KeyOf(result.get(), 0, 0);
    }
    return *lastKey_;
}

// In a fill run, a table with a primary key streams its updates in batches; the key the record
// has after the write is known here without asking the server. A walk by ctid learns a row's
// new ctid only from its own UPDATE.
void PostgresTable::Update(RecordKey& key, const std::vector<FieldValue>& values,
                           const std::vector<bool>& assigned) {
    if (writer_->InRun() && !ByCtid()) {
        UpdateInRun(key, values, assigned);
        return;
    }
    std::string sets;
    std::vector<PgText> params;
    for (std::size_t i = 0; i < columns_.size() && i < assigned.size(); ++i) {
        if (!assigned[i]) {
            continue;
        }
        params.push_back(PgParam(values[i], columns_[i].kind));
        sets += (sets.empty() ? "" : ", ") + QuoteIdentifier(columns_[i].info.name) + " = $" +
                std::to_string(params.size());
    }
    if (sets.empty()) {
        return;
    }
    const std::size_t first = params.size() + 1;
    for (const FieldValue& part : key.parts) {
        params.push_back(PgKeyParam(part));
    }
    const std::string sql = "UPDATE " + target_->table + " SET " + sets + " WHERE " +
                            KeyCondition("=", first) + " RETURNING xmin, " + KeyList();
    PgResult result = writer_->Execute(target_, sql, std::move(params), true, true);
    if (result) {
        key = KeyOf(result.get(), 0, 1);
    }
}

void PostgresTable::UpdateInRun(RecordKey& key, const std::vector<FieldValue>& values,
                                const std::vector<bool>& assigned) {
    if (assigned != updateAssigned_ || !updateForm_) {
        std::vector<std::string> keyNames;
        std::vector<std::string> keyTypes;
        for (std::size_t index : keyColumns_) {
            keyNames.push_back(QuoteIdentifier(columns_[index].info.name));
            keyTypes.push_back(columns_[index].sqlType);
        }
        std::vector<std::string> setNames;
        for (std::size_t i = 0; i < columns_.size() && i < assigned.size(); ++i) {
            if (assigned[i]) {
                setNames.push_back(QuoteIdentifier(columns_[i].info.name));
            }
        }
        updateAssigned_ = assigned;
        updateForm_ = setNames.empty() ? nullptr
                                       : std::make_shared<const UpdateForm>(MakePgUpdateForm(
                                             target_->table, keyNames, keyTypes, setNames));
    }
    if (!updateForm_) {
        return;
    }
    line_.clear();
    newKey_.clear();
    for (std::size_t i = 0; i < keyColumns_.size(); ++i) {
        const std::size_t column = keyColumns_[i];
        const PgText part = PgKeyParam(key.parts.at(i));
        AppendCopyValue(line_, i == 0, part);
        if (column < assigned.size() && assigned[column]) {
            AppendCopyField(newKey_, i == 0, values[column], columns_[column].kind);
        } else {
            AppendCopyValue(newKey_, i == 0, part);
        }
    }
    oldKey_ = line_;
    for (std::size_t i = 0; i < columns_.size() && i < assigned.size(); ++i) {
        if (assigned[i]) {
            AppendCopyField(line_, false, values[i], columns_[i].kind);
        }
    }
    writer_->UpdateRow(target_, updateForm_, oldKey_, newKey_, line_);
    if (newKey_ != oldKey_) {
        std::vector<PgText> parts = DecodeCopyLine(newKey_);
        for (std::size_t i = 0; i < parts.size() && i < key.parts.size(); ++i) {
            key.parts[i] = parts[i].value_or(std::string());
        }
    }
}

void PostgresTable::Delete(const RecordKey& key) {
    std::vector<PgText> params;
    for (const FieldValue& part : key.parts) {
        params.push_back(PgKeyParam(part));
    }
    // The writer checks that a row went, so that in a run the failure keeps the changes before.
    writer_->Execute(
        target_,
        "DELETE FROM " + target_->table + " WHERE " + KeyCondition("=", 1) + " RETURNING 1",
        std::move(params), false, true);
}

void PostgresTable::DeleteAll() {
    ahead_.Clear();
    writer_->Execute(target_, "DELETE FROM " + target_->table, {}, false);
}

}  // namespace rowsmith
