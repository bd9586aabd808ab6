#include "engine/sqlite/sqlite_table.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "engine/currency.h"
#include "engine/database_errors.h"

namespace rowsmith {

namespace {

// Bit i tells whether column i is written, for the first 64 columns.
std::uint64_t WrittenBits(const std::vector<bool>& assigned) {
    std::uint64_t bits = 0;
    const std::size_t count = std::min<std::size_t>(assigned.size(), 64);
    for (std::size_t i = 0; i < count; ++i) {
        bits |= std::uint64_t{assigned[i]} << i;
    }
    return bits;
}

// The columns a table's key is read from: none when it has a rowid.
std::vector<std::size_t> KeySourceColumns(const SqliteLayout& layout) {
    if (!layout.rowid.empty()) {
        return {};
    }
    return {layout.keyColumns.begin(), layout.keyColumns.end()};
}

// A cache holds one statement per set of written columns a caller uses: few, so a short linear
// search beats any map.
constexpr std::size_t kMaxCachedStatements = 16;

}  // namespace

SqliteTable::SqliteTable(std::shared_ptr<SqliteDatabase> database, const std::string& name)
    : database_(std::move(database)),
      db_(database_->Handle()),
      name_(name),
      quotedName_(QuoteIdentifier(name)),
      layout_(ReadSqliteLayout(db_, name)),
      pageColumns_(layout_.columns.size(), KeySourceColumns(layout_)) {
    for (const auto& column : layout_.columns) {
        blobColumns_.push_back(StoresBytes(column.type) ? 1 : 0);
    }
    selectList_ = SelectList(pageColumns_.All());
    pageList_ = selectList_;
}

SqliteTable::~SqliteTable() {
    try {
        WriteHeld();
    } catch (const std::exception&) {
        // The end of the run writes them with its error; only a table closed within a run gets
        // here holding records.
    }
}

std::string SqliteTable::KeyCondition(int first) const {
    if (!layout_.rowid.empty()) {
        return layout_.rowid + " = ?" + std::to_string(first);
    }
    std::string condition;
    for (std::size_t i = 0; i < layout_.keyColumns.size(); ++i) {
        condition += (i == 0 ? "" : " AND ") +
                     QuoteIdentifier(layout_.columns[layout_.keyColumns[i]].name) + " = ?" +
                     std::to_string(first + static_cast<int>(i));
    }
    return condition;
}

std::string SqliteTable::KeyOrder() const {
    if (!layout_.rowid.empty()) {
        return layout_.rowid;
    }
    std::string order;
    for (int column : layout_.keyColumns) {
        order += (order.empty() ? "" : ", ") + QuoteIdentifier(layout_.columns[column].name);
    }
    return order;
}

void SqliteTable::BindKey(sqlite3_stmt* statement, int first, const RecordKey& key) const {
    for (std::size_t i = 0; i < key.parts.size(); ++i) {
        BindValue(statement, first + static_cast<int>(i), key.parts[i], false);
    }
}

void SqliteTable::BindValue(sqlite3_stmt* statement, int parameter, const FieldValue& value,
                            bool blob) const {
    int rc;
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        rc = sqlite3_bind_int64(statement, parameter, *integer);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        // The caller's values outlive the step, so SQLite need not copy them.
        rc = blob ? sqlite3_bind_blob64(statement, parameter, text->data(), text->size(),
                                        SQLITE_STATIC)
                  : sqlite3_bind_text64(statement, parameter, text->data(), text->size(),
                                        SQLITE_STATIC, SQLITE_UTF8);
    } else if (const auto* real = std::get_if<double>(&value)) {
        rc = sqlite3_bind_double(statement, parameter, *real);
    } else if (const auto* amount = std::get_if<Currency>(&value)) {
        // A money column has numeric affinity: it keeps whole amounts as integers, exactly, and
        // the others as reals.
        const std::uint64_t largest =
            std::uint64_t{std::numeric_limits<std::int64_t>::max()} + (amount->negative ? 1 : 0);
        if (amount->decimals == 0 && amount->units <= largest) {
            rc = sqlite3_bind_int64(statement, parameter,
                                    amount->negative ? static_cast<std::int64_t>(0 - amount->units)
                                                     : static_cast<std::int64_t>(amount->units));
        } else {
            rc = sqlite3_bind_double(statement, parameter, CurrencyReal(*amount));
        }
    } else {
        rc = sqlite3_bind_null(statement, parameter);
    }
    if (rc != SQLITE_OK) {
        Fail();
    }
}

bool SqliteTable::WriteStatement::Writes(std::uint64_t bits,
                                         const std::vector<bool>& assigned) const {
    return this->bits == bits && (assigned.size() <= 64 || this->assigned == assigned);
}

std::string SqliteTable::InsertSql(const std::vector<int>& columns, std::size_t records) const {
    if (columns.empty()) {
        // Columns left out get their defaults.
        return "INSERT INTO " + quotedName_ + " DEFAULT VALUES";
    }
    std::string names;
    std::string row;
    for (int column : columns) {
        names += (names.empty() ? "" : ", ") + QuoteIdentifier(layout_.columns[column].name);
        row += row.empty() ? "(?" : ", ?";
    }
    row += ")";
    std::string sql = "INSERT INTO " + quotedName_ + " (" + names + ") VALUES " + row;
    for (std::size_t i = 1; i < records; ++i) {
        sql += ", " + row;
    }
    return sql;
}

SqliteTable::WriteStatement& SqliteTable::InsertStatement(const std::vector<bool>& assigned,
                                                          std::uint64_t bits) {
    for (std::size_t i = 0; i < inserts_.size(); ++i) {
        if (inserts_[i].Writes(bits, assigned)) {
            lastInsert_ = i;
            return inserts_[i];
        }
    }
    WriteStatement write{assigned, bits, {}, {}, 1, {}};
    for (int i = 0; i < static_cast<int>(layout_.columns.size()); ++i) {
        if (assigned[i]) {
            write.columns.push_back(i);
        }
    }
    write.statement = SqliteStatement(db_, InsertSql(write.columns, 1));
    if (layout_.multiRowInserts && !write.columns.empty()) {
        const auto parameters =
            static_cast<std::size_t>(sqlite3_limit(db_, SQLITE_LIMIT_VARIABLE_NUMBER, -1));
        write.heldRecords =
            std::clamp<std::size_t>(parameters / write.columns.size(), 1, kHeldRecords);
    }
    if (inserts_.size() == kMaxCachedStatements) {
        inserts_.erase(inserts_.begin());
    }
    inserts_.push_back(std::move(write));
    lastInsert_ = inserts_.size() - 1;
    return inserts_.back();
}

SqliteTable::WriteStatement& SqliteTable::UpdateStatement(const std::vector<bool>& assigned) {
    const std::uint64_t bits = WrittenBits(assigned);
    for (auto& write : updates_) {
        if (write.Writes(bits, assigned)) {
            return write;
        }
    }
    WriteStatement write{assigned, bits, {}, {}, 1, {}};
    std::string sets;
    for (int i = 0; i < static_cast<int>(layout_.columns.size()); ++i) {
        if (assigned[i]) {
            write.columns.push_back(i);
            sets += (sets.empty() ? "" : ", ") + QuoteIdentifier(layout_.columns[i].name) + " = ?";
        }
    }
    const int keyParameter = static_cast<int>(write.columns.size()) + 1;
    write.statement = SqliteStatement(
        db_, "UPDATE " + quotedName_ + " SET " + sets + " WHERE " + KeyCondition(keyParameter));
    if (updates_.size() == kMaxCachedStatements) {
        updates_.erase(updates_.begin());
    }
    updates_.push_back(std::move(write));
    return updates_.back();
}

int SqliteTable::BindRecord(sqlite3_stmt* statement, int first, const WriteStatement& write,
                            const std::vector<FieldValue>& values) const {
    int parameter = first;
    for (int column : write.columns) {
        BindValue(statement, parameter++, values[column], blobColumns_[column] != 0);
    }
    return parameter;
}

void SqliteTable::RunWrite(sqlite3_stmt* statement) {
    database_->BeforeWrite(name_);
    if (const int rc = sqlite3_step(statement); rc != SQLITE_DONE) {
        FailWrite(statement, rc);
    }
    sqlite3_reset(statement);
    database_->AfterWrite();
}

void SqliteTable::FailWrite(sqlite3_stmt* statement, int rc) {
    std::string message = sqlite3_errmsg(db_);
    // SQLite's other constraint messages name the table; this one does not.
    if (rc == SQLITE_CONSTRAINT_FOREIGNKEY) {
        message += "\nTable: \"" + name_ + "\"";
    }
    sqlite3_reset(statement);
    database_->FailWrite(std::move(message), rc);
}

void SqliteTable::Insert(const std::vector<FieldValue>& values, const std::vector<bool>& assigned) {
    // A fill writes the same columns into every record: the statement of the last insert is
    // looked at first, here, so that the common case costs one comparison.
    const std::uint64_t bits = WrittenBits(assigned);
    const bool same = lastInsert_ < inserts_.size() && inserts_[lastInsert_].Writes(bits, assigned);
    if (!same) {
        // Held records are those of the last statement: a record that writes other columns goes
        // after them.
        WriteHeld();
    }
    WriteStatement& write = same ? inserts_[lastInsert_] : InsertStatement(assigned, bits);
    if (write.heldRecords > 1 && database_->InRun()) {
        Hold(write, values);
    } else {
        database_->WriteHeld();
        BindRecord(write.statement.get(), 1, write, values);
        RunWrite(write.statement.get());
        if (!layout_.rowid.empty()) {
            lastRowid_ = sqlite3_last_insert_rowid(db_);
        }
    }
    if (layout_.rowid.empty()) {
        lastKey_.parts.resize(layout_.keyColumns.size());
        for (std::size_t i = 0; i < layout_.keyColumns.size(); ++i) {
            const int column = layout_.keyColumns[i];
            lastKey_.parts[i] = assigned[column] ? values[column] : FieldValue();
        }
    }
}

RecordKey SqliteTable::LastInsertKey() {
    database_->WriteHeld();
    if (!layout_.rowid.empty()) {
        return RecordKey{{lastRowid_}};
    }
    return lastKey_;
}

void SqliteTable::Update(RecordKey& key, const std::vector<FieldValue>& values,
                         const std::vector<bool>& assigned) {
    database_->WriteHeld();
    // A fill writes the key columns with the values they have. Left out of the statement, they
    // spare SQLite moving the row to the key it already has (a delete and an insert).
    written_ = assigned;
    bool moves = false;
    const auto keep = [&](int column, const FieldValue& part) {
        if (written_[column]) {
            written_[column] = values[column] != part;
            moves = moves || written_[column];
        }
    };
    if (layout_.rowidAlias >= 0) {
        keep(layout_.rowidAlias, key.parts.at(0));
    }
    for (std::size_t i = 0; i < layout_.keyColumns.size(); ++i) {
        keep(layout_.keyColumns[i], key.parts.at(i));
    }
    if (std::none_of(written_.begin(), written_.end(), [](bool written) { return written; })) {
        if (std::none_of(assigned.begin(), assigned.end(), [](bool written) { return written; })) {
            return;
        }
        // Only the key, unchanged: the statement still tells whether the record is there.
        written_ = assigned;
    }
    WriteStatement& write = UpdateStatement(written_);
    sqlite3_stmt* statement = write.statement.get();
    BindKey(statement, BindRecord(statement, 1, write, values), key);
    RunWrite(statement);
    if (sqlite3_changes(db_) == 0) {
        throw EDBEngineError("Record not found: it was deleted or its key was changed");
    }
    if (!moves) {
        return;
    }
    if (layout_.rowidAlias >= 0) {
        key.parts[0] = values[layout_.rowidAlias];
    }
    for (std::size_t i = 0; i < layout_.keyColumns.size(); ++i) {
        if (written_[layout_.keyColumns[i]]) {
            key.parts[i] = values[layout_.keyColumns[i]];
        }
    }
    movedKeys_.insert(key.parts);
}

void SqliteTable::Delete(const RecordKey& key) {
    database_->WriteHeld();
    if (!delete_) {
        delete_ = SqliteStatement(db_, "DELETE FROM " + quotedName_ + " WHERE " + KeyCondition(1));
    }
    BindKey(delete_.get(), 1, key);
    RunWrite(delete_.get());
}

void SqliteTable::DeleteAll() {
    database_->WriteHeld();
    SqliteStatement statement(db_, "DELETE FROM " + quotedName_);
    RunWrite(statement.get());
}

std::int64_t SqliteTable::Count() {
    database_->WriteHeld();
    SqliteStatement statement(db_, "SELECT count(*) FROM " + quotedName_);
    if (sqlite3_step(statement.get()) != SQLITE_ROW) {
        Fail();
    }
    return sqlite3_column_int64(statement.get(), 0);
}

void SqliteTable::Fail() const {
    if ((sqlite3_errcode(db_) & 0xFF) == SQLITE_BUSY) {
        throw ELockTimeout(sqlite3_errmsg(db_));
    }
    throw EDBEngineError(sqlite3_errmsg(db_));
}

}  // namespace rowsmith
