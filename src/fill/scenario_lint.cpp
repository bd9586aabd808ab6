#include "fill/scenario_lint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <utility>

#include "engine/database_session.h"
#include "engine/table_cursor.h"
#include "fill/column_writer.h"
#include "fill/generators/fill_method_registry.h"
#include "fill/library_shelf.h"
#include "model/fill_methods.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// Below this chance of a clash a unique column fed at random is not worth a warning.
constexpr double kLikelyClash = 0.01;

struct TableFacts {
    std::vector<std::string> columns;
    std::vector<TFieldType> types;
    std::vector<int> sizes;
    // The first and last seconds each column takes.
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;
    std::vector<bool> wides;
    std::int64_t records = 0;
    // Open on the table, for the check of the fill values against its columns.
    std::unique_ptr<TableCursor> cursor;
};

TableFacts ReadFacts(const std::string& alias, const std::string& table) {
    TableFacts facts;
    facts.cursor = std::make_unique<TableCursor>();
    TableCursor& cursor = *facts.cursor;
    cursor.SetDatabaseName(alias);
    cursor.SetTableName(table);
    cursor.Open();
    for (int i = 0; i < cursor.FieldCount(); ++i) {
        facts.columns.push_back(cursor.FieldAt(i).FieldName());
        facts.types.push_back(cursor.FieldAt(i).FieldType());
        facts.sizes.push_back(cursor.FieldAt(i).Size());
        facts.spans.emplace_back(cursor.FieldAt(i).FirstSecond(), cursor.FieldAt(i).LastSecond());
        facts.wides.push_back(cursor.FieldAt(i).IsWide());
    }
    facts.records = cursor.CountRecords();
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

// A count of values, in full up to where a double holds every whole number.
std::string CountText(double count) {
    if (!std::isfinite(count)) {
        return "countless";
    }
    if (count < 9007199254740992.0) {
        return std::to_string(static_cast<long long>(count));
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", count);
    return text;
}

// Whether the setting leaves its column as it is. A code without a method may be one of a later
// version of the program: there is no telling what it writes.
bool LeavesColumn(const TFillField* setting) {
    if (setting == nullptr) {
        return true;
    }
    const FillMethodEntry* method = FindFillMethod(setting->FillMethod());
    return method != nullptr && !method->writes;
}

// Whether the setting takes its values from the master table `table`.
bool FilledFrom(const TFillField& setting, const std::string& table) {
    const auto generator = MakeGenerator(setting);
    const std::optional<TableFieldParts> master =
        generator ? generator->MasterColumn() : std::nullopt;
    return master && SameText(master->table, table);
}

class TableLint {
public:
    TableLint(const TFillScenario& scenario, int position, LibraryShelf& libraries,
              std::optional<DateTimeValue> now, std::vector<LintWarning>& warnings)
        : scenario_(scenario),
          table_(scenario.Tables().Items(position)),
          position_(position),
          warnings_(warnings),
          facts_(ReadFacts(scenario.AliasName(), table_.TableName())),
          constraints_(DatabaseSession::Instance()
                           .Connect(scenario.AliasName())
                           .ReadConstraints(table_.TableName())) {
        sources_.libraries = &libraries;
        sources_.columns = facts_.columns;
        sources_.sizes = facts_.sizes;
        sources_.settings = &table_.Fields();
        sources_.now = now;
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
            CheckNotNull(column, LeavesColumn(setting));
            if (setting == nullptr) {
                continue;
            }
            const auto generator = MakeGenerator(*setting, Shape(i), &sources_);
            if (!generator) {
                continue;
            }
            std::vector<std::string> misfits;
            generator->CheckFit(facts_.types[i], facts_.sizes[i], misfits);
            generator->CheckSpan(facts_.types[i], facts_.spans[i].first, facts_.spans[i].second,
                                 misfits);
            // A fill value the check refuses stops the fill before it writes anything; said
            // here unless a warning of the column's fit already points at it.
            const CursorField& field = facts_.cursor->FieldAt(static_cast<int>(i));
            if (misfits.empty() && !generator->CheckValue(setting->FillValue(), &field)) {
                const std::string reason = generator->Refusal(setting->FillValue(), &field);
                misfits.push_back((reason.empty()
                                       ? "fill value '" + setting->FillValue() + "' is wrong"
                                       : reason) +
                                  ": the check will refuse it");
            }
            for (const std::string& misfit : misfits) {
                Warn(setting->FieldName(), misfit);
            }
            if (const std::optional<TableFieldParts> master = generator->MasterColumn()) {
                CheckMaster(setting->FieldName(), *master);
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

    ColumnShape Shape(std::size_t index) const {
        return ColumnShape{facts_.types[index], facts_.sizes[index], facts_.wides[index]};
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

    void CheckNotNull(const std::string& column, bool leftUnfilled) {
        for (const ColumnConstraint& constraint : constraints_.columns) {
            if (constraint.name == column && constraint.notNull && !constraint.hasDefault &&
                leftUnfilled && appended_ > 0) {
                Warn(column,
                     "NOT NULL without a default, left unfilled: the first new record "
                     "will fail");
            }
        }
    }

    void CheckMaster(const std::string& column, const TableFieldParts& parts) {
        std::vector<std::string> tables;
        DatabaseSession::Instance().ListTables(scenario_.AliasName(), false, tables);
        if (std::none_of(tables.begin(), tables.end(),
                         [&](const std::string& name) { return name == parts.table; })) {
            Warn(column, "master table '" + parts.table + "' does not exist");
            return;
        }
        const TableFacts master = ReadFacts(scenario_.AliasName(), parts.table);
        if (std::find(master.columns.begin(), master.columns.end(), parts.field) ==
            master.columns.end()) {
            Warn(column, "master table '" + parts.table + "' has no column '" + parts.field + "'");
        } else if (master.records == 0 && FillPosition(scenario_, parts.table) > position_) {
            Warn(column,
                 "master table '" + parts.table + "' is empty and filled later: fill it first");
        }
    }

    void CheckUnique(const std::string& column) {
        const TFillField* setting = Setting(column);
        const auto index = static_cast<std::size_t>(
            std::find(facts_.columns.begin(), facts_.columns.end(), column) -
            facts_.columns.begin());
        if (setting == nullptr || records_ < 2 || index == facts_.columns.size()) {
            return;
        }
        const auto generator = MakeGenerator(*setting, Shape(index), &sources_);
        const double distinct = generator ? generator->DistinctValues() : -1;
        if (distinct < 0) {
            return;
        }
        const std::string fed = CountText(distinct) +
                                (distinct == 1 ? " distinct value for " : " distinct values for ") +
                                std::to_string(records_) + " records";
        if (setting->Unique()) {
            // Drawn without repeats: only too few values are worth a word, and the check
            // refuses them before anything is written.
            if (distinct < static_cast<double>(records_)) {
                Warn(column, "unique, but fed " + fed + ": the fill will refuse it");
            }
            return;
        }
        if (distinct < static_cast<double>(records_)) {
            Warn(column, "unique, but fed " + fed + ": it will clash");
            return;
        }
        // The birthday bound: the chance that two of the n records that get a value meet.
        long double share = 0;
        ReadNullShare(setting->NullShare(), share);
        const double records =
            static_cast<double>(records_) * (1 - static_cast<double>(share) / 100);
        const double repeat = generator->RepeatChance();
        const double chance = repeat < 0 ? 0 : 1 - std::exp(-records * (records - 1) / 2 * repeat);
        if (chance >= kLikelyClash) {
            Warn(column, "unique, fed at random from " + CountText(distinct) + " values for " +
                             std::to_string(records_) + " records: a clash is " + Percent(chance) +
                             " likely" +
                             (generator->DrawsAtRandom() ? "; set Unique to avoid clashes" : ""));
        }
    }

    void CheckForeignKey(const ForeignKey& key) {
        if (key.columns.size() != 1 || records_ == 0) {
            return;
        }
        const std::string& column = key.columns.front();
        const TFillField* setting = Setting(column);
        if (!LeavesColumn(setting) && !FilledFrom(*setting, key.parentTable)) {
            Warn(column, "refers to '" + key.parentTable +
                             "' but is not filled from it: values may have no parent");
        }
        if (FillPosition(scenario_, key.parentTable) > position_) {
            Warn(column, "refers to '" + key.parentTable + "', which is filled later: fill '" +
                             key.parentTable + "' before '" + table_.TableName() +
                             "', or use Order by References");
        }
    }

    const TFillScenario& scenario_;
    const TFillTable& table_;
    int position_;
    std::vector<LintWarning>& warnings_;
    TableFacts facts_;
    TableConstraints constraints_;
    ValueSources sources_;
    std::int64_t records_ = 0;
    std::int64_t appended_ = 0;
};

}  // namespace

std::vector<LintWarning> LintScenario(const TFillScenario& scenario,
                                      const std::string& scenarioFolder,
                                      std::optional<DateTimeValue> now) {
    std::vector<LintWarning> warnings;
    LibraryShelf libraries(LibraryFinder(), scenarioFolder);
    for (int i = 0; i < scenario.Tables().Count(); ++i) {
        TableLint(scenario, i, libraries, now, warnings).Run();
    }
    return warnings;
}

}  // namespace rowsmith
