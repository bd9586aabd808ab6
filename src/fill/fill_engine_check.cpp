// FillEngine: the check of fill values. It looks only at the form of a text (numbers where
// numbers are needed); whether a value fits its column is found out when it is written.
#include <algorithm>
#include <string>
#include <utility>

#include "engine/database_session.h"
#include "fill/fill_engine.h"
#include "fill/generators/fill_method_registry.h"
#include "model/fill_methods.h"
#include "text/errors.h"

namespace rowsmith {

bool FillEngine::CheckFillValue(int index, const std::string& text) {
    const auto generator =
        MakeGenerator(std::as_const(Current().Fields().Items(index)), &Sources());
    if (!generator) {
        return true;
    }
    const CursorField* column =
        index < workTable_->FieldCount() ? &workTable_->FieldAt(index) : nullptr;
    return generator->CheckValue(text, column);
}

namespace {

// `reason`, when the method tells one, follows the value it refuses.
[[noreturn]] void Refuse(const std::string& what, const TFillTable& table,
                         const TFillField& setting, const std::string& reason = {}) {
    throw Exception(what + ". Table: \"" + table.TableName() + "\". Field: \"" +
                    setting.FieldName() + "\"" +
                    (reason.empty() ? "" : ". Value: \"" + setting.FillValue() + "\": " + reason));
}

}  // namespace

void FillEngine::CheckTableValues() {
    const TFillTable& table = Current();
    CheckBinding();
    std::optional<TableConstraints> constraints;
    for (int i = 0; i < table.Fields().Count(); ++i) {
        TFillField& setting = Current().Fields().Items(i);
        // A setting past the last column lost its column: the values it would write have no
        // place, and writing them into another column is what binding by name prevents.
        const bool hasColumn = i < workTable_->FieldCount();
        if (!hasColumn && WritesValues(setting.FillMethod())) {
            Refuse("No column for fill value", table, setting);
        }
        if (!CheckFillValue(i, setting.FillValue())) {
            const auto generator = MakeGenerator(setting, &Sources());
            const CursorField* column = hasColumn ? &workTable_->FieldAt(i) : nullptr;
            Refuse("Wrong fill value", table, setting,
                   generator->Refusal(setting.FillValue(), column));
        }
        CheckShareAndUnique(setting, hasColumn ? &workTable_->FieldAt(i) : nullptr, constraints);
    }
}

void FillEngine::CheckShareAndUnique(TFillField& setting, const CursorField* column,
                                     std::optional<TableConstraints>& constraints) {
    const TFillTable& table = Current();
    long double share = 0;
    if (!ReadNullShare(setting.NullShare(), share)) {
        Refuse("NULL share is not a number from 0 to 100", table, setting);
    }
    if (column == nullptr || !WritesValues(setting.FillMethod())) {
        return;
    }
    if (share > 0) {
        if (!constraints) {
            constraints = DatabaseSession::Instance()
                              .Connect(scenario_.AliasName())
                              .ReadConstraints(table.TableName());
        }
        for (const ColumnConstraint& constraint : constraints->columns) {
            if (constraint.notNull && constraint.name == column->FieldName()) {
                Refuse("NULL share on a NOT NULL column", table, setting);
            }
        }
    }
    if (!setting.Unique() || share >= 100) {
        return;
    }
    const auto generator = MakeGenerator(
        setting, ColumnShape{column->FieldType(), column->Size(), column->IsWide()}, &Sources());
    const double distinct = generator->DistinctValues();
    const std::int64_t records = RecordsToWrite();
    if (distinct >= 0 && distinct < static_cast<double>(records)) {
        Refuse("Unique, but the fill value gives " +
                   std::to_string(static_cast<long long>(distinct)) + " distinct value" +
                   (distinct == 1 ? "" : "s") + " for " + std::to_string(records) + " records",
               table, setting);
    }
}

std::int64_t FillEngine::RecordsToWrite() {
    const TFillTable& table = Current();
    if (table.TableFillMethod() == tfUpdateExisting) {
        return workTable_->CountRecords();
    }
    return std::max<std::int64_t>(table.RecCount(), 0);
}

void FillEngine::CheckEachTable(BoundTables& bound) {
    for (int i = 0; i < scenario_.Tables().Count(); ++i) {
        BindTable(scenario_.Tables().Items(i));
        Reported(TableWork::Check, [this] { CheckTableValues(); });
        bound.push_back(BoundTable{currentTable_, std::exchange(workTable_, NewWorkTable())});
    }
}

void FillEngine::CheckAllValues() {
    // Library files edited since the last check are read afresh.
    shelf_.reset();
    BoundTables bound;
    KeepingCurrent(bound, [this, &bound] { CheckEachTable(bound); });
}

}  // namespace rowsmith
