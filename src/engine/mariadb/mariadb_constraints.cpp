#include "engine/mariadb/mariadb_constraints.h"

#include "engine/database_errors.h"

namespace rowsmith {

namespace {

std::string Text(const FieldValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    return text ? *text : std::string();
}

}  // namespace

TableConstraints ReadMariaConstraints(MariaLink& link, const std::string& table) {
    const FieldValue name = table;
    const std::vector<MariaParam> params{MariaParam{&name}};
    if (link.Query("SELECT 1 FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() "
                   "AND TABLE_NAME = ? AND TABLE_TYPE = 'BASE TABLE'",
                   params)
            .empty()) {
        throw EDBEngineError("Table '" + table + "' doesn't exist");
    }

    TableConstraints constraints;
    // A nullable column without a default shows the text NULL as its default, which is none.
    for (const MariaRow& row : link.Query(
             "SELECT COLUMN_NAME, IF(IS_NULLABLE = 'NO', 'y', 'n'), "
             "IF((COLUMN_DEFAULT IS NOT NULL AND COLUMN_DEFAULT <> 'NULL') "
             "OR EXTRA LIKE '%auto_increment%' OR GENERATION_EXPRESSION IS NOT NULL, 'y', 'n') "
             "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? "
             "ORDER BY ORDINAL_POSITION",
             params)) {
        constraints.columns.push_back(
            ColumnConstraint{Text(row[0]), Text(row[1]) == "y", Text(row[2]) == "y"});
    }

    // Unique indexes on whole columns, the primary key's first; one on a prefix of a column says
    // nothing certain about the column's values.
    std::string last;
    for (const MariaRow& row :
         link.Query("SELECT INDEX_NAME, COLUMN_NAME FROM information_schema.STATISTICS s "
                    "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? AND NON_UNIQUE = 0 "
                    "AND NOT EXISTS (SELECT 1 FROM information_schema.STATISTICS p "
                    "  WHERE p.TABLE_SCHEMA = s.TABLE_SCHEMA AND p.TABLE_NAME = s.TABLE_NAME "
                    "  AND p.INDEX_NAME = s.INDEX_NAME AND p.SUB_PART IS NOT NULL) "
                    "ORDER BY INDEX_NAME <> 'PRIMARY', INDEX_NAME, SEQ_IN_INDEX",
                    params)) {
        if (constraints.uniqueKeys.empty() || Text(row[0]) != last) {
            constraints.uniqueKeys.emplace_back();
            last = Text(row[0]);
        }
        constraints.uniqueKeys.back().push_back(Text(row[1]));
    }

    last.clear();
    for (const MariaRow& row : link.Query(
             "SELECT CONSTRAINT_NAME, COLUMN_NAME, REFERENCED_TABLE_NAME, REFERENCED_COLUMN_NAME "
             "FROM information_schema.KEY_COLUMN_USAGE WHERE TABLE_SCHEMA = DATABASE() "
             "AND TABLE_NAME = ? AND REFERENCED_TABLE_NAME IS NOT NULL "
             "ORDER BY CONSTRAINT_NAME, ORDINAL_POSITION",
             params)) {
        if (constraints.foreignKeys.empty() || Text(row[0]) != last) {
            constraints.foreignKeys.push_back(ForeignKey{{}, Text(row[2]), {}});
            last = Text(row[0]);
        }
        constraints.foreignKeys.back().columns.push_back(Text(row[1]));
        constraints.foreignKeys.back().parentColumns.push_back(Text(row[3]));
    }
    return constraints;
}

}  // namespace rowsmith
