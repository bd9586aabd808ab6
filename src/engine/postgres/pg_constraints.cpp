#include "engine/postgres/pg_constraints.h"

#include "engine/database_errors.h"

namespace rowsmith {

namespace {

// Keys come one column a row, tagged with the name of the key they belong to.
std::vector<std::vector<std::string>> GroupedKeys(const PgResult& result) {
    std::vector<std::vector<std::string>> keys;
    std::string last;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        const std::string key = PQgetvalue(result.get(), row, 0);
        if (keys.empty() || key != last) {
            keys.emplace_back();
            last = key;
        }
        keys.back().emplace_back(PQgetvalue(result.get(), row, 1));
    }
    return keys;
}

}  // namespace

TableConstraints ReadPgConstraints(PgLink& link, const std::string& schema,
                                   const std::string& table) {
    PgResult found = link.Query(
        "SELECT c.oid FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
        "WHERE n.nspname = $1 AND c.relname = $2 AND c.relkind IN ('r', 'p')",
        {schema, table});
    if (PQntuples(found.get()) == 0) {
        throw EDBEngineError("relation \"" + schema + "." + table + "\" does not exist");
    }
    const std::string oid = PQgetvalue(found.get(), 0, 0);

    TableConstraints constraints;
    PgResult columns = link.Query(
        "SELECT attname, attnotnull, atthasdef OR attidentity <> '' FROM pg_attribute "
        "WHERE attrelid = $1 AND attnum > 0 AND NOT attisdropped ORDER BY attnum",
        {oid});
    for (int row = 0; row < PQntuples(columns.get()); ++row) {
        constraints.columns.push_back(ColumnConstraint{PQgetvalue(columns.get(), row, 0),
                                                       *PQgetvalue(columns.get(), row, 1) == 't',
                                                       *PQgetvalue(columns.get(), row, 2) == 't'});
    }

    // Unique indexes on plain columns, the primary key's first; one on expressions or with a
    // WHERE clause says nothing certain about a column.
    PgResult unique = link.Query(
        "SELECT i.indexrelid, a.attname FROM pg_index i "
        "CROSS JOIN LATERAL unnest(i.indkey::int2[]) WITH ORDINALITY AS k(attnum, ord) "
        "JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = k.attnum "
        "WHERE i.indrelid = $1 AND i.indisunique AND i.indexprs IS NULL AND i.indpred IS NULL "
        "ORDER BY NOT i.indisprimary, i.indexrelid, k.ord",
        {oid});
    constraints.uniqueKeys = GroupedKeys(unique);

    PgResult foreign = link.Query(
        "SELECT con.oid, a.attname, pc.relname, pa.attname FROM pg_constraint con "
        "CROSS JOIN LATERAL unnest(con.conkey, con.confkey) WITH ORDINALITY AS k(attnum, fattnum, "
        "ord) "
        "JOIN pg_attribute a ON a.attrelid = con.conrelid AND a.attnum = k.attnum "
        "JOIN pg_class pc ON pc.oid = con.confrelid "
        "JOIN pg_attribute pa ON pa.attrelid = con.confrelid AND pa.attnum = k.fattnum "
        "WHERE con.conrelid = $1 AND con.contype = 'f' ORDER BY con.oid, k.ord",
        {oid});
    std::string last;
    for (int row = 0; row < PQntuples(foreign.get()); ++row) {
        const std::string key = PQgetvalue(foreign.get(), row, 0);
        if (constraints.foreignKeys.empty() || key != last) {
            constraints.foreignKeys.push_back(
                ForeignKey{{}, PQgetvalue(foreign.get(), row, 2), {}});
            last = key;
        }
        constraints.foreignKeys.back().columns.emplace_back(PQgetvalue(foreign.get(), row, 1));
        constraints.foreignKeys.back().parentColumns.emplace_back(
            PQgetvalue(foreign.get(), row, 3));
    }
    return constraints;
}

}  // namespace rowsmith
