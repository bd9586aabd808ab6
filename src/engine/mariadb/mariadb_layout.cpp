#include "engine/mariadb/mariadb_layout.h"

#include <cstdlib>

#include "engine/database_errors.h"

namespace rowsmith {

namespace {

std::string Text(const FieldValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return std::to_string(*integer);
    }
    return "";
}

}  // namespace

MariaLayout ReadMariaLayout(MariaLink& link, const std::string& name) {
    const FieldValue table = name;
    const std::vector<MariaParam> params{MariaParam{&table}};
    std::vector<MariaRow> engine = link.Query(
        "SELECT t.ENGINE, coalesce(e.TRANSACTIONS, 'YES') FROM information_schema.TABLES t "
        "LEFT JOIN information_schema.ENGINES e ON e.ENGINE = t.ENGINE "
        "WHERE t.TABLE_SCHEMA = DATABASE() AND t.TABLE_NAME = ? AND t.TABLE_TYPE = 'BASE TABLE'",
        params);
    if (engine.empty()) {
        throw EDBEngineError("Table '" + name + "' doesn't exist");
    }
    MariaLayout layout;
    layout.engine = Text(engine[0][0]);
    layout.transactional = Text(engine[0][1]) == "YES";

    for (const MariaRow& row : link.Query(
             "SELECT COLUMN_NAME, DATA_TYPE, COLUMN_TYPE, coalesce(CHARACTER_MAXIMUM_LENGTH, 0), "
             "EXTRA, coalesce(DATETIME_PRECISION, 0) "
             "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? "
             "ORDER BY ORDINAL_POSITION",
             params)) {
        layout.columns.push_back(DescribeMariaColumn(Text(row[0]), Text(row[1]), Text(row[2]),
                                                     std::atoll(Text(row[3]).c_str()), Text(row[4]),
                                                     std::atoi(Text(row[5]).c_str())));
    }

    // The primary key first, then unique keys whose columns are all NOT NULL, by name.
    std::vector<MariaRow> parts = link.Query(
        "SELECT INDEX_NAME, COLUMN_NAME FROM information_schema.STATISTICS s "
        "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? AND NON_UNIQUE = 0 "
        "AND NOT EXISTS (SELECT 1 FROM information_schema.STATISTICS n "
        "  WHERE n.TABLE_SCHEMA = s.TABLE_SCHEMA AND n.TABLE_NAME = s.TABLE_NAME "
        "  AND n.INDEX_NAME = s.INDEX_NAME AND n.NULLABLE = 'YES') "
        "ORDER BY INDEX_NAME <> 'PRIMARY', INDEX_NAME, SEQ_IN_INDEX",
        params);
    for (const MariaRow& part : parts) {
        if (Text(part[0]) != Text(parts[0][0])) {
            break;
        }
        const std::string column = Text(part[1]);
        for (std::size_t i = 0; i < layout.columns.size(); ++i) {
            if (layout.columns[i].info.name == column) {
                layout.keyColumns.push_back(i);
            }
        }
    }
    return layout;
}

}  // namespace rowsmith
