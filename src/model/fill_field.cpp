#include "model/fill_field.h"

#include <utility>

#include "model/comma_items.h"
#include "model/fill_methods.h"

namespace rowsmith {

TFillField::TFillField(std::string fieldName) : fieldName_(std::move(fieldName)) {}

void TFillField::SetFillMethod(std::int32_t code) {
    if (code == fillMethod_) {
        return;
    }
    fillMethod_ = code;
    SetFillValue(code == fmRandomString ? kDefaultRandomStringLength : "");
}

void TFillField::SetFillValue(const std::string& text) {
    fillValue_ = text;
    if (fillMethod_ == fmRandomFromSet) {
        valueSet_ = SplitValueSet(text);
    }
}

std::int32_t TFillField::NextCounter() {
    const std::int32_t value = counter_;
    // Past the largest integer the counter wraps instead of overflowing.
    counter_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter_) + 1u);
    return value;
}

void TFillField::ResetCounter() {
    if (fillMethod_ == fmAutoIncrement) {
        counter_ = 1;
    }
}

}  // namespace rowsmith
