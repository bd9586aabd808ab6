#include "fill/scenario_lint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "engine/database_session.h"
#include "engine/table_cursor.h"
#include "model/fill_methods.h"
#include "text/conversions.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// Below this chance of a clash a unique column fed at random is not worth a warning.
constexpr double kLikelyClash = 0.01;

struct TableFacts {
    std::vector<std::string> columns;
    std::vector<TFieldType> types;
    std::vector<int> sizes;
    std::int64_t records = 0;
};

TableFacts ReadFacts(const std::string& alias, const std::string& table) {
    TableCursor cursor;
    cursor.SetDatabaseName(alias);
    cursor.SetTableName(table);
    cursor.Open();
    TableFacts facts;
    for (int i = 0; i < cursor.FieldCount(); ++i) {
        facts.columns.push_back(cursor.FieldAt(i).FieldName());
        facts.types.push_back(cursor.FieldAt(i).FieldType());
        facts.sizes.push_back(cursor.FieldAt(i).Size());
    }
    facts.records = cursor.CountRecords();
    cursor.Close();
    return facts;
}

// The position of `table` in the scenario, -1 when it is not filled.
int FillPosition(const TFillScenario& scenario, const std::string& table) {
    for (int i = 0; i < scenario.Tables().Count(); ++i) {
        if (SameText(scenario.Tables().Items(i).TableName(), table)) {
            return i;
        }
    }
    return -1;
}

std::string Percent(double chance) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f%%", std::min(chance * 100, 99.0));
    return text;
}

// The distinct values a setting can give, or -1 when there is no telling.
double DistinctValues(const TFillField& setting) {
    switch (setting.FillMethod()) {
        case fmSingleValue:
            return 1;
        case fmRandomFromSet: {
            std::vector<std::string> items = setting.ValueSet();
            std::sort(items.begin(), items.end());
            return static_cast<double>(std::unique(items.begin(), items.end()) - items.begin());
        }
        case fmRandomInteger: {
            long double low = 0;
            long double high = 0;
            if (!TryStrToFloat(LeftOf("-", setting.FillValue()), low) ||
                !TryStrToFloat(RightOf("-", setting.FillValue()), high)) {
                return -1;
            }
            return static_cast<double>(std::fabs(std::trunc(high) - std::trunc(low)) + 1);
        }
        default:
            return -1;
    }
}

class TableLint {
public:
    TableLint(const TFillScenario& scenario, int position, std::vector<LintWarning>& warnings)
        : scenario_(scenario),
          table_(scenario.Tables().Items(position)),
          position_(position),
          warnings_(warnings),
          facts_(ReadFacts(scenario.AliasName(), table_.TableName())),
          constraints_(DatabaseSession::Instance()
                           .Connect(scenario.AliasName())
                           .ReadConstraints(table_.TableName())) {
        const std::int64_t wanted = table_.RecCount();
        switch (table_.TableFillMethod()) {
            case tfEmptyAndFill:
                records_ = wanted;
                appended_ = wanted;
                break;
            case tfUpdateAndFill:
                records_ = wanted;
                appended_ = std::max<std::int64_t>(0, wanted - facts_.records);
                break;
            default:
                records_ = facts_.records;
                break;
        }
    }

    void Run() {
        for (std::size_t i = 0; i < facts_.columns.size(); ++i) {
            const std::string& column = facts_.columns[i];
            const TFillField* setting = Setting(column);
            const std::int32_t method = setting ? setting->FillMethod() : fmDontFill;
            CheckNotNull(column, method);
            if (setting == nullptr) {
                continue;
            }
            CheckValues(*setting, facts_.types[i], facts_.sizes[i]);
            if (method == fmMasterTable) {
                CheckMaster(*setting);
            }
        }
        for (const auto& key : constraints_.uniqueKeys) {
            if (key.size() == 1) {
                CheckUnique(key.front());
            }
        }
        for (const ForeignKey& key : constraints_.foreignKeys) {
            CheckForeignKey(key);
        }
    }

private:
    void Warn(const std::string& column, const std::string& reason) {
        warnings_.push_back(LintWarning{table_.TableName(), column, reason});
    }

    // The setting the fill would bind to the column: its exact name first, as binding does.
    const TFillField* Setting(const std::string& column) const {
        if (const int index = table_.FindField(column); index >= 0) {
            return &table_.Fields().Items(index);
        }
        for (int i = 0; i < table_.Fields().Count(); ++i) {
            if (SameText(table_.Fields().Items(i).FieldName(), column)) {
                return &table_.Fields().Items(i);
            }
        }
        return nullptr;
    }

    void CheckNotNull(const std::string& column, std::int32_t method) {
        for (const ColumnConstraint& constraint : constraints_.columns) {
            if (constraint.name == column && constraint.notNull && !constraint.hasDefault &&
                method == fmDontFill && appended_ > 0) {
                Warn(column,
                     "NOT NULL without a default, left unfilled: the first new record "
                     "will fail");
            }
        }
    }

    void CheckValues(const TFillField& setting, TFieldType type, int size) {
        const std::string& column = setting.FieldName();
        const std::int32_t method = setting.FillMethod();
        if (method == fmRandomString && size > 0) {
            std::int32_t length = 0;
            if (TryStrToInt(setting.FillValue(), length) && length > size) {
                Warn(column, "random strings of up to " + setting.FillValue() +
                                 " characters, the column keeps " + std::to_string(size) +
                                 ": longer ones will be cut");
            }
        }
        if (method == fmRandomInteger && StoresIntegers(type)) {
            long double low = 0;
            long double high = 0;
            const auto [least, most] = IntegerRange(type);
            if (TryStrToFloat(LeftOf("-", setting.FillValue()), low) &&
                TryStrToFloat(RightOf("-", setting.FillValue()), high) &&
                (std::min(low, high) < least || std::max(low, high) > most)) {
                Warn(column, "range " + setting.FillValue() + " goes beyond the column's type (" +
                                 std::to_string(static_cast<long long>(least)) + " to " +
                                 std::to_string(static_cast<long long>(most)) + "): it will fail");
            }
        }
        const bool dateOrTime = type == ftDate || type == ftTime || type == ftDateTime;
        if (dateOrTime && (method == fmRandomInteger || method == fmRandomReal ||
                           method == fmAutoIncrement || method == fmRandomString)) {
            Warn(column,
                 "a date or time column cannot take what this method writes: every "
                 "record will fail");
        }
    }

    static std::pair<long double, long double> IntegerRange(TFieldType type) {
        switch (type) {
            case ftSmallint:
                return {-32768, 32767};
            case ftWord:
                return {0, 65535};
            default:
                return {std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max()};
        }
    }

    void CheckMaster(const TFillField& setting) {
        const TableFieldParts parts = SplitTableField(setting.FillValue());
        std::vector<std::string> tables;
        DatabaseSession::Instance().ListTables(scenario_.AliasName(), false, tables);
        if (std::none_of(tables.begin(), tables.end(),
                         [&](const std::string& name) { return name == parts.table; })) {
            Warn(setting.FieldName(), "master table '" + parts.table + "' does not exist");
            return;
        }
        const TableFacts master = ReadFacts(scenario_.AliasName(), parts.table);
        if (std::find(master.columns.begin(), master.columns.end(), parts.field) ==
            master.columns.end()) {
            Warn(setting.FieldName(),
                 "master table '" + parts.table + "' has no column '" + parts.field + "'");
        } else if (master.records == 0 && FillPosition(scenario_, parts.table) > position_) {
            Warn(setting.FieldName(),
                 "master table '" + parts.table + "' is empty and filled later: fill it first");
        }
    }

    void CheckUnique(const std::string& column) {
        const TFillField* setting = Setting(column);
        if (setting == nullptr || records_ < 2) {
            return;
        }
        const double distinct = DistinctValues(*setting);
        if (distinct < 0) {
            return;
        }
        const auto records = static_cast<double>(records_);
        if (distinct < records) {
            Warn(column, "unique, but fed " + std::to_string(static_cast<long long>(distinct)) +
                             (distinct == 1 ? " distinct value for " : " distinct values for ") +
                             std::to_string(records_) + " records: it will clash");
            return;
        }
        // The birthday bound: the chance that two of n draws from d values meet.
        const double chance = 1 - std::exp(-records * (records - 1) / (2 * distinct));
        if (chance >= kLikelyClash) {
            Warn(column, "unique, fed at random from " +
                             std::to_string(static_cast<long long>(distinct)) + " values for " +
                             std::to_string(records_) + " records: a clash is " + Percent(chance) +
                             " likely");
        }
    }

    void CheckForeignKey(const ForeignKey& key) {
        if (key.columns.size() != 1 || records_ == 0) {
            return;
        }
        const std::string& column = key.columns.front();
        const TFillField* setting = Setting(column);
        if (setting != nullptr && setting->FillMethod() != fmDontFill &&
            (setting->FillMethod() != fmMasterTable ||
             !SameText(SplitTableField(setting->FillValue()).table, key.parentTable))) {
            Warn(column, "refers to '" + key.parentTable +
                             "' but is not filled from it: values may have no parent");
        }
        if (FillPosition(scenario_, key.parentTable) > position_) {
            Warn(column, "refers to '" + key.parentTable + "', which is filled later: fill '" +
                             key.parentTable + "' before '" + table_.TableName() + "'");
        }
    }

    const TFillScenario& scenario_;
    const TFillTable& table_;
    int position_;
    std::vector<LintWarning>& warnings_;
    TableFacts facts_;
    TableConstraints constraints_;
    std::int64_t records_ = 0;
    std::int64_t appended_ = 0;
};

}  // namespace

std::vector<LintWarning> LintScenario(const TFillScenario& scenario) {
    std::vector<LintWarning> warnings;
    for (int i = 0; i < scenario.Tables().Count(); ++i) {
        TableLint(scenario, i, warnings).Run();
    }
    return warnings;
}

}  // namespace rowsmith
