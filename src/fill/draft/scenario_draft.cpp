#include "fill/draft/scenario_draft.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "engine/cursor_field.h"
#include "engine/database_session.h"
#include "engine/table_cursor.h"
#include "fill/draft/column_name_rules.h"
#include "fill/generators/fill_method_registry.h"
#include "fill/library_shelf.h"
#include "model/fill_field.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

TableConstraints ReadConstraints(const std::string& alias, const std::string& table) {
    return DatabaseSession::Instance().Connect(alias).ReadConstraints(table);
}

bool Nullable(const TableConstraints& constraints, const std::vector<std::string>& columns) {
    return std::none_of(columns.begin(), columns.end(), [&](const std::string& column) {
        return std::any_of(
            constraints.columns.begin(), constraints.columns.end(),
            [&](const ColumnConstraint& c) { return c.name == column && c.notNull; });
    });
}

const ColumnConstraint* ConstraintOf(const TableConstraints& constraints,
                                     const std::string& column) {
    for (const ColumnConstraint& constraint : constraints.columns) {
        if (constraint.name == column) {
            return &constraint;
        }
    }
    return nullptr;
}

bool UniqueAlone(const TableConstraints& constraints, const std::string& column) {
    return std::any_of(
        constraints.uniqueKeys.begin(), constraints.uniqueKeys.end(),
        [&](const std::vector<std::string>& key) { return key.size() == 1 && key[0] == column; });
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return names.size() == 1 ? text : "(" + text + ")";
}

// What the fill makes of a choice on a column, for the rules' question whether it fits.
class FitCheck {
public:
    FitCheck(const CursorField& column, ValueSources& sources, std::int32_t records)
        : column_(column), sources_(sources), records_(records) {}

    bool operator()(const FillChoice& choice) const {
        TFillField probe(column_.FieldName());
        probe.SetFillMethod(choice.method);
        probe.SetFillValue(choice.value);
        const auto generator = MakeGenerator(
            probe, ColumnShape{column_.FieldType(), column_.Size(), column_.IsWide()}, &sources_);
        if (!generator) {
            return false;
        }
        std::vector<std::string> misfits;
        generator->CheckFit(column_.FieldType(), column_.Size(), misfits);
        generator->CheckSpan(column_.FieldType(), column_.FirstSecond(), column_.LastSecond(),
                             misfits);
        if (!misfits.empty()) {
            return false;
        }
        const double distinct = choice.unique ? generator->DistinctValues() : -1;
        return distinct < 0 || distinct >= static_cast<double>(records_);
    }

private:
    const CursorField& column_;
    ValueSources& sources_;
    std::int32_t records_;
};

}  // namespace

ScenarioDraft::ScenarioDraft(std::string alias, const std::vector<std::string>& tables,
                             std::int32_t records)
    : alias_(std::move(alias)) {
    std::vector<std::string> names;
    // A table named twice is drafted once: a scenario cannot keep two settings of one table.
    for (const std::string& table : tables) {
        if (std::none_of(names.begin(), names.end(),
                         [&](const std::string& name) { return SameText(name, table); })) {
            names.push_back(table);
        }
    }
    if (names.empty()) {
        DatabaseSession::Instance().ListTables(alias_, false, names);
    }
    std::vector<TableConstraints> constraints;
    std::vector<TableReference> references;
    for (const std::string& name : names) {
        constraints.push_back(ReadConstraints(alias_, name));
        for (const ForeignKey& key : constraints.back().foreignKeys) {
            references.push_back(
                TableReference{name, key.parentTable, Nullable(constraints.back(), key.columns)});
        }
    }
    const ReferenceOrder order = OrderByReferences(names, references);
    broken_ = order.broken;
    for (const std::string& name : order.tables) {
        const auto at =
            static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
        tables_.push_back(Table{name, records, std::move(constraints[at])});
    }
    const std::int32_t childRecords =
        records > std::numeric_limits<std::int32_t>::max() / kChildFactor
            ? std::numeric_limits<std::int32_t>::max()
            : records * kChildFactor;
    for (Table& table : tables_) {
        const bool child =
            std::any_of(table.constraints.foreignKeys.begin(), table.constraints.foreignKeys.end(),
                        [&](const ForeignKey& key) {
                            return !SameText(key.parentTable, table.name) &&
                                   !Broken(table.name, key.parentTable);
                        });
        if (child) {
            table.records = childRecords;
        }
    }
    AddNotes();
}

bool ScenarioDraft::Broken(const std::string& table, const std::string& parent) const {
    return std::any_of(broken_.begin(), broken_.end(), [&](const TableReference& reference) {
        return SameText(reference.child, table) && SameText(reference.parent, parent);
    });
}

bool ScenarioDraft::Drafted(const std::string& table) const {
    return std::any_of(tables_.begin(), tables_.end(),
                       [&](const Table& drafted) { return SameText(drafted.name, table); });
}

std::string ScenarioDraft::MasterOf(const ForeignKey& key) const {
    if (key.columns.size() != 1) {
        return {};
    }
    if (key.parentColumns.size() == 1) {
        return key.parentTable + "." + key.parentColumns.front();
    }
    const TableConstraints parent = ReadConstraints(alias_, key.parentTable);
    if (parent.uniqueKeys.empty() || parent.uniqueKeys.front().size() != 1) {
        return {};
    }
    return key.parentTable + "." + parent.uniqueKeys.front().front();
}

std::string ScenarioDraft::MasterColumn(const Table& table, const std::string& column) const {
    for (const ForeignKey& key : table.constraints.foreignKeys) {
        if (key.columns.size() == 1 && key.columns.front() == column &&
            !Broken(table.name, key.parentTable)) {
            return MasterOf(key);
        }
    }
    return {};
}

void ScenarioDraft::AddNotes() {
    for (const Table& table : tables_) {
        for (const ForeignKey& key : table.constraints.foreignKeys) {
            const std::string where = table.name + "." + Joined(key.columns) + ": ";
            const std::string required =
                Nullable(table.constraints, key.columns) ? "" : "; it is NOT NULL: fill it by hand";
            if (SameText(key.parentTable, table.name)) {
                notes_.push_back(where + "refers to its own table; left empty" + required);
            } else if (Broken(table.name, key.parentTable)) {
                notes_.push_back(where + "refers to '" + key.parentTable +
                                 "', which refers back to it; left empty" + required);
            } else if (MasterOf(key).empty()) {
                notes_.push_back(where + "refers to '" + key.parentTable +
                                 "' by a key of several columns; left empty" + required);
            } else if (!Drafted(key.parentTable)) {
                notes_.push_back(where + "refers to '" + key.parentTable +
                                 "', which the draft does not fill; drawn from the records it "
                                 "holds");
            }
        }
    }
}

void ScenarioDraft::Make(TFillScenario& scenario, const std::string& scenarioFolder) const {
    scenario.SetAliasName(alias_);
    LibraryShelf libraries(LibraryFinder(), scenarioFolder);
    for (const Table& drafted : tables_) {
        TFillTable& table = scenario.Tables().Items(scenario.AddTable(drafted.name));
        table.SetRecCount(drafted.records);
        TableCursor cursor;
        cursor.SetDatabaseName(alias_);
        cursor.SetTableName(drafted.name);
        cursor.Open();
        ValueSources sources;
        sources.libraries = &libraries;
        sources.settings = &table.Fields();
        for (int i = 0; i < cursor.FieldCount(); ++i) {
            sources.columns.push_back(cursor.FieldAt(i).FieldName());
            sources.sizes.push_back(cursor.FieldAt(i).Size());
        }
        for (int i = 0; i < cursor.FieldCount(); ++i) {
            const CursorField& column = cursor.FieldAt(i);
            const ColumnConstraint* constraint =
                ConstraintOf(drafted.constraints, column.FieldName());
            ColumnFacts facts{
                .table = drafted.name,
                .name = column.FieldName(),
                .type = column.FieldType(),
                .size = column.Size(),
                .notNull = constraint != nullptr && constraint->notNull,
                .hasDefault = constraint != nullptr && constraint->hasDefault,
                .unique = UniqueAlone(drafted.constraints, column.FieldName()),
                .master = MasterColumn(drafted, column.FieldName()),
                .tableColumns = sources.columns,
            };
            const bool referring =
                std::any_of(drafted.constraints.foreignKeys.begin(),
                            drafted.constraints.foreignKeys.end(), [&](const ForeignKey& key) {
                                return std::find(key.columns.begin(), key.columns.end(),
                                                 facts.name) != key.columns.end();
                            });
            const FillChoice choice =
                referring && facts.master.empty()
                    ? FillChoice{}
                    : ChooseColumnFill(facts, FitCheck(column, sources, drafted.records));
            TFillField& field = table.Fields().Items(table.AddField(facts.name));
            field.SetFillMethod(choice.method);
            field.SetFillValue(choice.value);
            field.SetUnique(choice.unique);
            field.SetNullShare(choice.nullShare);
        }
        cursor.Close();
    }
}

}  // namespace rowsmith
