// FillEngine: the check of fill values. It looks only at the form of a text (numbers where
// numbers are needed); whether a value fits its column is found out when it is written.
#include <utility>

#include "fill/fill_engine.h"
#include "fill/generators/fill_method_registry.h"
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

void FillEngine::CheckTableValues() {
    const TFillTable& table = Current();
    const auto refuse = [&table](const char* what, const TFillField& setting,
                                 const std::string& reason = {}) {
        throw Exception(
            std::string(what) + ". Table: \"" + table.TableName() + "\". Field: \"" +
            setting.FieldName() + "\"" +
            (reason.empty() ? "" : ". Value: \"" + setting.FillValue() + "\": " + reason));
    };
    CheckBinding();
    for (int i = 0; i < table.Fields().Count(); ++i) {
        const TFillField& setting = table.Fields().Items(i);
        // A setting past the last column lost its column: the values it would write have no
        // place, and writing them into another column is what binding by name prevents.
        if (i >= workTable_->FieldCount() && WritesValues(setting.FillMethod())) {
            refuse("No column for fill value", setting);
        }
        if (!CheckFillValue(i, setting.FillValue())) {
            const auto generator = MakeGenerator(setting, &Sources());
            const CursorField* column =
                i < workTable_->FieldCount() ? &workTable_->FieldAt(i) : nullptr;
            refuse("Wrong fill value", setting, generator->Refusal(setting.FillValue(), column));
        }
    }
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
