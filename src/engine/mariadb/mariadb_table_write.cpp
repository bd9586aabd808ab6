// MariaDbTable: the writes. In a fill run, inserts and updates wait in the writer to go to the
// server many at a time; everything else goes as a statement of its own.
#include <algorithm>

#include "engine/database_errors.h"
#include "engine/mariadb/mariadb_table.h"

namespace rowsmith {

void MariaDbTable::Insert(const std::vector<FieldValue>& values,
                          const std::vector<bool>& assigned) {
    if (insertSql_.empty() || assigned != insertAssigned_) {
        insertAssigned_ = assigned;
        std::string names;
        std::string marks;
        insertValues_.binds.clear();
        for (std::size_t i = 0; i < columns_.size() && i < assigned.size(); ++i) {
            if (assigned[i]) {
                names += (names.empty() ? "" : ", ") + QuoteMariaIdentifier(columns_[i].info.name);
                marks += marks.empty() ? "?" : ", ?";
                insertValues_.binds.push_back(MariaBindOf(columns_[i]));
            }
        }
        insertSql_ = names.empty()
                         ? "INSERT INTO " + table_ + " () VALUES ()"
                         : "INSERT INTO " + table_ + " (" + names + ") VALUES (" + marks + ")";
    }
    insertValues_.values.clear();
    for (std::size_t i = 0; i < columns_.size() && i < assigned.size(); ++i) {
        if (assigned[i]) {
            CheckMariaValue(columns_[i], values[i]);
            insertValues_.values.push_back(values[i]);
        }
    }
    writer_->Insert(target_, insertSql_, insertSql_.rfind('('), insertValues_);
    lastKey_.reset();
    lastKeyWantsId_ = false;
    RecordKey key;
    for (std::size_t column : keyColumns_) {
        const bool given = column < assigned.size() && assigned[column] &&
                           !std::holds_alternative<std::monostate>(values[column]);
        if (given) {
            key.parts.push_back(values[column]);
        } else if (columns_[column].info.type == ftAutoInc) {
            // Known once the row has reached the server.
            key.parts.emplace_back();
            lastKeyWantsId_ = true;
        } else {
            return;
        }
    }
    lastKey_ = std::move(key);
}

RecordKey MariaDbTable::LastInsertKey() {
    // Without a key, an appended record comes last in the table's order.
    if (keyColumns_.empty()) {
        return RecordKey{{Count() - 1}};
    }
    if (!lastKey_) {
        throw EDBEngineError("The appended record cannot be found again");
    }
    if (lastKeyWantsId_) {
        for (std::size_t i = 0; i < keyColumns_.size(); ++i) {
            if (std::holds_alternative<std::monostate>(lastKey_->parts[i])) {
                lastKey_->parts[i] = static_cast<std::int64_t>(writer_->LastInsertId());
            }
        }
        lastKeyWantsId_ = false;
    }
    return *lastKey_;
}

void MariaDbTable::Update(RecordKey& key, const std::vector<FieldValue>& values,
                          const std::vector<bool>& assigned) {
    RequireKey();
    if (std::find(assigned.begin(), assigned.end(), true) == assigned.end()) {
        return;
    }
    if (!updateForm_ || assigned != updateAssigned_) {
        updateAssigned_ = assigned;
        updateForm_ =
            MakeMariaUpdateForm(table_, columns_, keyColumns_, assigned, kMariaUpdateSetRows);
    }
    MariaValues params;
    for (std::size_t i = 0; i < columns_.size() && i < assigned.size(); ++i) {
        if (assigned[i]) {
            CheckMariaValue(columns_[i], values[i]);
            params.values.push_back(values[i]);
            params.binds.push_back(MariaBindOf(columns_[i]));
        }
    }
    MariaValues keyParams = KeyParams(key);
    params.values.insert(params.values.end(), keyParams.values.begin(), keyParams.values.end());
    params.binds.insert(params.binds.end(), keyParams.binds.begin(), keyParams.binds.end());
    const std::vector<FieldValue> before = key.parts;
    for (std::size_t i = 0; i < keyColumns_.size(); ++i) {
        const std::size_t column = keyColumns_[i];
        if (column < assigned.size() && assigned[column]) {
            key.parts[i] = values[column];
        }
    }
    try {
        writer_->Update(target_, updateForm_, params, before, key.parts);
    } catch (...) {
        key.parts = before;
        throw;
    }
    // A record moved ahead of the walk would otherwise be met a second time.
    if (key.parts != before) {
        movedKeys_.insert(key.parts);
    }
}

void MariaDbTable::Delete(const RecordKey& key) {
    RequireKey();
    writer_->Execute(target_, "DELETE FROM " + table_ + " WHERE " + KeyCondition("="),
                     KeyParams(key));
    if (writer_->Settled().AffectedRows() == 0) {
        throw EDBEngineError(kMariaRecordGone);
    }
}

void MariaDbTable::DeleteAll() {
    ahead_.Clear();
    writer_->Execute(target_, "DELETE FROM " + table_, {});
}

}  // namespace rowsmith
