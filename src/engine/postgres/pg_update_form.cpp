#include "engine/postgres/pg_update_form.h"

namespace rowsmith {

namespace {

// One name serves every batch: each batch drops the previous one's table first.
constexpr const char* kScratch = "pg_temp.rowsmith_update";

}  // namespace

PgUpdateForm MakePgUpdateForm(const std::string& table, const std::vector<std::string>& keyColumns,
                              const std::vector<std::string>& keyTypes,
                              const std::vector<std::string>& setColumns) {
    // The scratch columns get names of their own, k1.. and c1.., since a key column may be
    // written too.
    std::string select;
    std::string tableKey;
    std::string scratchKey;
    std::string params;
    for (std::size_t i = 0; i < keyColumns.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        select += (i ? ", t." : "t.") + keyColumns[i] + " AS k" + n;
        tableKey += (i ? ", t." : "t.") + keyColumns[i];
        scratchKey += (i ? ", s.k" : "s.k") + n;
        params += (i ? ", $" : "$") + n + "::" + keyTypes[i];
    }
    std::string sets;
    std::string singleSets;
    for (std::size_t i = 0; i < setColumns.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        select += ", t." + setColumns[i] + " AS c" + n;
        sets += (i ? ", " : "") + setColumns[i] + " = s.c" + n;
        singleSets +=
            (i ? ", " : "") + setColumns[i] + " = $" + std::to_string(keyColumns.size() + i + 1);
    }
    PgUpdateForm form;
    form.create = std::string("DROP TABLE IF EXISTS ") + kScratch +
                  "; CREATE TEMP TABLE rowsmith_update ON COMMIT DROP AS SELECT " + select +
                  " FROM " + table + " t WITH NO DATA";
    form.copy = std::string("COPY ") + kScratch + " FROM STDIN";
    form.apply = "WITH u AS (UPDATE " + table + " t SET " + sets + " FROM " + kScratch +
                 " s WHERE (" + tableKey + ") = (" + scratchKey +
                 ") RETURNING t.xmin::text AS x) SELECT x, count(*) FROM u GROUP BY x";
    std::string plainKey;
    for (std::size_t i = 0; i < keyColumns.size(); ++i) {
        plainKey += (i ? ", " : "") + keyColumns[i];
    }
    form.single = "UPDATE " + table + " SET " + singleSets + " WHERE (" + plainKey + ") = (" +
                  params + ") RETURNING xmin";
    return form;
}

}  // namespace rowsmith
