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
        form.apply = "WITH u AS (UPDATE " + parts.table + " t SET " + parts.sets + " FROM " +
                     parts.scratch + " s WHERE " + parts.join +
                     " RETURNING t.xmin::text AS x) SELECT x, count(*) FROM u GROUP BY x";
        form.applyKeepingKeys = form.apply;
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
