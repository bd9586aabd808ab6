#include "fill/generators/single_value_generator.h"

#include "engine/cursor_field.h"
#include "model/fill_field.h"
#include "text/text_helpers.h"

namespace rowsmith {

bool SingleValueGenerator::CheckValue(const std::string& text, const CursorField* column) const {
    return column == nullptr || !SingleValueIsNumber(column->FieldType()) || IsFloat(text);
}

void SingleValueGenerator::Write() {
    column_->WriteString(setting_.FillValue());
}

}  // namespace rowsmith
