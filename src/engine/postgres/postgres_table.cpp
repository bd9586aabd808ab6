#include "engine/postgres/postgres_table.h"

#include <algorithm>
#include <cstdlib>

#include "engine/database_errors.h"

namespace rowsmith {

namespace {

// A ctid walk reads this many heap blocks per query at first, more while they come back sparse.
constexpr long kFirstSpan = 64;
constexpr long kMaxSpan = 8192;
// Records a walk by key reads ahead in a fill run: the size of its update batches (the writer's
// batch, since each costs a temporary table and a statement more) and the memory it holds.
constexpr std::size_t kReadAhead = 20000;

long BlockOf(const std::string& ctid) {
    return ctid.size() > 1 ? std::strtol(ctid.c_str() + 1, nullptr, 10) : 0;
}

std::string BlockStart(long block) {
    return "(" + std::to_string(block) + ",0)";
}

}  // namespace

PostgresTable::PostgresTable(std::shared_ptr<PgWriter> writer, const std::string& schema,
                             const std::string& name, bool exclusive)
    : writer_(std::move(writer)), target_(std::make_shared<PgTarget>()) {
    target_->table = QuoteIdentifier(schema) + "." + QuoteIdentifier(name);
    target_->exclusive = exclusive;
    Describe(schema, name);
}

void PostgresTable::Describe(const std::string& schema, const std::string& name) {
    writer_->Settle();
    PgLink& link = writer_->Link();
    PgResult table = link.Query(
        "SELECT c.oid, c.relkind FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
        "WHERE n.nspname = $1 AND c.relname = $2 AND c.relkind IN ('r', 'p')",
        {schema, name});
    if (PQntuples(table.get()) == 0) {
        throw EDBEngineError("relation \"" + schema + "." + name + "\" does not exist");
    }
    oid_ = PQgetvalue(table.get(), 0, 0);

    // Domains are described by their base type; serial columns by their nextval default.
    PgResult columns = link.Query(
        "SELECT a.attnum, a.attname, format_type(a.atttypid, a.atttypmod), "
        "  coalesce(b.typname, t.typname), "
        "  CASE WHEN t.typtype = 'd' THEN t.typtypmod ELSE a.atttypmod END, "
        "  a.attidentity <> '' OR coalesce(pg_get_expr(d.adbin, d.adrelid), '') "
        "    LIKE 'nextval(%' "
        "FROM pg_attribute a JOIN pg_type t ON t.oid = a.atttypid "
        "LEFT JOIN pg_type b ON t.typtype = 'd' AND b.oid = t.typbasetype "
        "LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum "
        "WHERE a.attrelid = $1 AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum",
        {oid_});
    std::vector<std::string> attnums;
    for (int row = 0; row < PQntuples(columns.get()); ++row) {
        attnums.emplace_back(PQgetvalue(columns.get(), row, 0));
        columns_.push_back(DescribePgColumn(
            PQgetvalue(columns.get(), row, 1), PQgetvalue(columns.get(), row, 2),
            PQgetvalue(columns.get(), row, 3), std::atoi(PQgetvalue(columns.get(), row, 4)),
            PQgetvalue(columns.get(), row, 5)[0] == 't'));
        infos_.push_back(columns_.back().info);
    }

    PgResult key = link.Query(
        "SELECT k.attnum FROM pg_index i, unnest(i.indkey) WITH ORDINALITY AS k(attnum, ord) "
        "WHERE i.indrelid = $1 AND i.indisprimary ORDER BY k.ord",
        {oid_});
    for (int row = 0; row < PQntuples(key.get()); ++row) {
        const auto found = std::find(attnums.begin(), attnums.end(), PQgetvalue(key.get(), row, 0));
        keyColumns_.push_back(static_cast<std::size_t>(found - attnums.begin()));
    }
    // Its rows lie in the partitions, where a ctid names a row only within each one.
    if (keyColumns_.empty() && *PQgetvalue(table.get(), 0, 1) == 'p') {
        throw EDBEngineError("Table " + QuoteIdentifier(name) +
                             " is partitioned and has no primary key, so its records cannot be "
                             "told apart");
    }

    pageColumns_ = PageColumns(columns_.size(), {});
    selectList_ = SelectList(pageColumns_.All());
    pageList_ = selectList_;
    returningKey_ = " RETURNING " + KeyList();
}

std::string PostgresTable::SelectList(const std::vector<std::size_t>& columns) const {
    std::string list = KeyList();
    for (std::size_t column : columns) {
        list += ", " + columns_[column].selectExpr;
    }
    return list;
}

bool PostgresTable::ReadColumns(const std::vector<bool>& columns) {
    // Records read ahead without a column now asked for are read again.
    if (pageColumns_.Ask(columns)) {
        ahead_.Clear();
    }
    pageList_ = SelectList(pageColumns_.Read());
    return pageColumns_.Narrow();
}

std::string PostgresTable::KeyList() const {
    if (ByCtid()) {
        return "ctid";
    }
    std::string list;
    for (std::size_t index : keyColumns_) {
        list += (list.empty() ? "" : ", ") + QuoteIdentifier(columns_[index].info.name);
    }
    return list;
}

std::string PostgresTable::KeyCondition(const char* op, std::size_t first) const {
    if (ByCtid()) {
        return std::string("ctid ") + op + " $" + std::to_string(first) + "::tid";
    }
    std::string params;
    for (std::size_t i = 0; i < keyColumns_.size(); ++i) {
        params +=
            (i ? ", $" : "$") + std::to_string(first + i) + "::" + columns_[keyColumns_[i]].sqlType;
    }
    return "(" + KeyList() + ") " + op + " (" + params + ")";
}

void PostgresTable::AddWalkFilter(std::string& sql, std::vector<PgText>& params) const {
    if (target_->walkXids.empty()) {
        return;
    }
    std::string list = "{";
    for (const std::string& xid : target_->walkXids) {
        list += (list.size() > 1 ? "," : "") + xid;
    }
    params.emplace_back(list + "}");
    sql += " AND NOT (xmin = ANY($" + std::to_string(params.size()) + "::xid[]))";
}

std::vector<Record> PostgresTable::ReadPage(const RecordKey* after, std::size_t limit) {
    if (after == nullptr) {
        writer_->StartWalk(*target_);
    }
    return ByCtid() ? ReadPageByCtid(after, limit) : ReadPageByKey(after, limit);
}

// A record whose key an update moves ahead gets a row version that a later read skips (see
// AddWalkFilter), so the records read ahead stay the ones a read now would give.
std::vector<Record> PostgresTable::ReadPageByKey(const RecordKey* after, std::size_t limit) {
    return ahead_.Page(
        after, limit, writer_->InRun() ? kReadAhead : 0,
        [this](const RecordKey* from, std::size_t count) { return QueryPageByKey(from, count); });
}

std::vector<Record> PostgresTable::QueryPageByKey(const RecordKey* after, std::size_t limit) {
    // Taken first: it writes the pending updates, which adds the row versions of those that move
    // keys to the filter.
    PgLink& link = writer_->WalkLink(*target_);
    std::string sql = "SELECT " + pageList_ + " FROM " + target_->table + " WHERE ";
    std::vector<PgText> params;
    if (after != nullptr) {
        sql += KeyCondition(">", 1);
        for (const FieldValue& part : after->parts) {
            params.push_back(PgKeyParam(part));
        }
    } else {
        sql += "true";
    }
    AddWalkFilter(sql, params);
    // By position, as the key leads the select list: by name, a key column read through a cast
    // (money, timestamptz) would be two columns of the list.
    sql += " ORDER BY 1";
    for (std::size_t i = 2; i <= keyColumns_.size(); ++i) {
        sql += ", " + std::to_string(i);
    }
    sql += " LIMIT " + std::to_string(limit);
    std::vector<Record> records;
    AppendRecords(writer_->Read(link, sql, params).get(), pageColumns_.Read(), records);
    return records;
}

// ORDER BY ctid sorts everything after the starting point, so the walk reads block ranges that a
// TID range scan reaches directly and sorts only those.
std::vector<Record> PostgresTable::ReadPageByCtid(const RecordKey* after, std::size_t limit) {
    std::string lower = after ? std::get<std::string>(after->parts.at(0)) : BlockStart(0);
    long block = BlockOf(lower);
    const long blocks = RelationBlocks();
    long span = kFirstSpan;
    std::vector<Record> records;
    while (records.size() < limit && block < blocks) {
        const long upper = block + span;
        std::string sql = "SELECT " + pageList_ + " FROM " + target_->table +
                          " WHERE ctid > $1::tid AND ctid < $2::tid";
        std::vector<PgText> params{lower, BlockStart(upper)};
        AddWalkFilter(sql, params);
        sql += " ORDER BY ctid LIMIT " + std::to_string(limit - records.size());
        const std::size_t before = records.size();
        AppendRecords(writer_->Read(*target_, sql, params).get(), pageColumns_.Read(), records);
        if (records.size() - before < limit / 4) {
            span = std::min(span * 2, kMaxSpan);
        }
        lower = BlockStart(upper);
        block = upper;
    }
    return records;
}

long PostgresTable::RelationBlocks() {
    PgResult result = writer_->Read(
        *target_, "SELECT pg_relation_size($1::regclass) / current_setting('block_size')::bigint",
        {oid_});
    return std::atol(PQgetvalue(result.get(), 0, 0));
}

void PostgresTable::AppendRecords(const PGresult* result, const std::vector<std::size_t>& columns,
                                  std::vector<Record>& records) const {
    const int keyCount = ByCtid() ? 1 : static_cast<int>(keyColumns_.size());
    for (int row = 0; row < PQntuples(result); ++row) {
        Record record;
        record.key = KeyOf(result, row, 0);
        record.values.resize(columns_.size());
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const int field = keyCount + static_cast<int>(i);
            if (!PQgetisnull(result, row, field)) {
                record.values[columns[i]] =
                    ReadPgValue(PQgetvalue(result, row, field), PQgetlength(result, row, field),
                                columns_[columns[i]].kind);
            }
        }
        records.push_back(std::move(record));
    }
}

RecordKey PostgresTable::KeyOf(const PGresult* result, int row, int firstColumn) const {
    const int keyCount = ByCtid() ? 1 : static_cast<int>(keyColumns_.size());
    RecordKey key;
    for (int i = 0; i < keyCount; ++i) {
        key.parts.emplace_back(std::string(PQgetvalue(result, row, firstColumn + i)));
    }
    return key;
}

bool PostgresTable::ReadRecord(const RecordKey& key, Record& record) {
    std::vector<PgText> params;
    for (const FieldValue& part : key.parts) {
        params.push_back(PgKeyParam(part));
    }
    const std::string sql =
        "SELECT " + selectList_ + " FROM " + target_->table + " WHERE " + KeyCondition("=", 1);
    std::vector<Record> records;
    AppendRecords(writer_->Read(*target_, sql, params).get(), pageColumns_.All(), records);
    if (records.empty()) {
        return false;
    }
    record = std::move(records.front());
    return true;
}

std::int64_t PostgresTable::Count() {
    PgResult result = writer_->Read(*target_, "SELECT count(*) FROM " + target_->table);
    return std::atoll(PQgetvalue(result.get(), 0, 0));
}

}  // namespace rowsmith
