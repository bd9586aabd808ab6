// FillEngine: the check of fill values. It looks only at the form of a text (numbers where
// numbers are needed); whether a value fits its column is found out when it is written.
#include "engine/field_type.h"
#include "fill/fill_engine.h"
#include "model/fill_methods.h"
#include "text/errors.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// The check cuts values at these: "-" between the bounds of a range, "," of a decimal comma.
constexpr std::string_view kValueDelimiters = "-,";

// A range: number, "-", number and nothing but white space after. Since "-" is a delimiter, a
// bound cannot carry a minus sign.
bool IsRange(const std::string& text, bool (*isNumber)(const std::string&)) {
    std::string rest = text;
    if (!isNumber(NextToken(rest, kValueDelimiters))) {
        return false;
    }
    if (NextToken(rest, kValueDelimiters) != "-") {
        return false;
    }
    if (!isNumber(NextToken(rest, kValueDelimiters))) {
        return false;
    }
    return TrimSpaces(rest).empty();
}

}  // namespace

bool FillEngine::CheckFillValue(int index, const std::string& text) {
    const TFillField& setting = Current().Fields().Items(index);
    switch (setting.FillMethod()) {
        case fmSingleValue:
            return !SingleValueIsNumber(workTable_.FieldAt(index).FieldType()) || IsFloat(text);
        case fmRandomInteger:
            return IsRange(text, IsInteger);
        case fmRandomReal:
            return IsRange(text, IsFloat);
        case fmRandomString:
            return IsInteger(text);
        default:
            return true;
    }
}

void FillEngine::CheckTableValues() {
    const TFillTable& table = Current();
    const auto refuse = [&table](const char* what, const TFillField& setting) {
        throw Exception(std::string(what) + ". Table: \"" + table.TableName() + "\". Field: \"" +
                        setting.FieldName() + "\"");
    };
    CheckBinding();
    for (int i = 0; i < table.Fields().Count(); ++i) {
        const TFillField& setting = table.Fields().Items(i);
        // A setting past the last column lost its column: the values it would write have no
        // place, and writing them into another column is what binding by name prevents.
        if (i >= workTable_.FieldCount() && WritesValues(setting.FillMethod())) {
            refuse("No column for fill value", setting);
        }
        if (!CheckFillValue(i, setting.FillValue())) {
            refuse("Wrong fill value", setting);
        }
    }
}

void FillEngine::CheckAllValues() {
    BindEachTable([this] { Reported(TableWork::Check, [this] { CheckTableValues(); }); });
}

}  // namespace rowsmith
