#include "fill/generators/auto_increment_generator.h"

#include "engine/cursor_field.h"
#include "model/fill_field.h"

namespace rowsmith {

void AutoIncrementGenerator::CheckFit(TFieldType type, int,
                                      std::vector<std::string>& misfits) const {
    CheckNotDateOrTime(type, misfits);
}

void AutoIncrementGenerator::Write() {
    column_->WriteInteger(setting_.NextCounter());
}

}  // namespace rowsmith
