#include "engine/postgres/pg_update_form.h"

namespace rowsmith {

namespace {

class PgUpdateDialect final : public UpdateDialect {
public:
    // The COPY text of a row starts with the key, so that the key's text is known by the time
    // the values are.
    bool KeysFirst() const override { return true; }
    // One name serves every batch: each batch drops the previous one's table first.
    std::string Scratch() const override { return "pg_temp.rowsmith_update"; }
    std::string Mark(std::size_t n, const std::string& type) const override {
        return "$" + std::to_string(n) + (type.empty() ? "" : "::" + type);
    }
    std::string SetTarget(const std::string& column) const override { return column; }
    UpdateForm Spell(const UpdateParts& parts) const override {
        UpdateForm form;
        form.create = "DROP TABLE IF EXISTS " + parts.scratch +
                      "; CREATE TEMP TABLE rowsmith_update ON COMMIT DROP AS SELECT " +
                      parts.select + " FROM " + parts.table + " t WITH NO DATA";
        form.fill = "COPY " + parts.scratch + " FROM STDIN";
        // The bounds follow from the join, and let the server read only the part of the key's
        // index that the rows cover: a merge join would otherwise read it from its start, which
        // costs each batch of a walk more than the one before.
        const std::string from = " FROM " + parts.scratch + " s WHERE " + parts.join + " AND " +
                                 parts.leadKey + " BETWEEN (SELECT k1 FROM " + parts.scratch +
                                 " ORDER BY k1 LIMIT 1) AND (SELECT k1 FROM " + parts.scratch +
                                 " ORDER BY k1 DESC LIMIT 1)";
        form.apply = "WITH u AS (UPDATE " + parts.table + " t SET " + parts.sets + from +
                     " RETURNING t.xmin::text AS x) SELECT x, count(*) FROM u GROUP BY x";
        form.applyKeepingKeys = "UPDATE " + parts.table + " t SET " +
                                (parts.keptSets.empty() ? parts.sets : parts.keptSets) + from;
        form.single = "UPDATE " + parts.table + " SET " + parts.singleSets + " WHERE " +
                      parts.singleKey + " RETURNING xmin";
        return form;
    }
};

}  // namespace

UpdateForm MakePgUpdateForm(const std::string& table, const std::vector<std::string>& keyColumns,
                            const std::vector<std::string>& keyTypes,
                            const std::vector<std::string>& setColumns) {
    std::vector<UpdateColumn> keys;
    for (std::size_t i = 0; i < keyColumns.size(); ++i) {
        keys.push_back(UpdateColumn{keyColumns[i], keyTypes[i], true});
    }
    std::vector<UpdateColumn> written;
    for (const std::string& column : setColumns) {
        written.push_back(UpdateColumn{column, "", false});
    }
    return MakeUpdateForm(PgUpdateDialect(), table, keys, written);
}

}  // namespace rowsmith
