#include "engine/cursor_field.h"

#include "engine/cursor_state.h"
#include "engine/database_errors.h"
#include "engine/field_conversion.h"

namespace rowsmith {

CursorField::CursorField(TableCursor& cursor, int index) : cursor_(cursor), index_(index) {}

const std::string& CursorField::FieldName() const {
    return (*cursor_.state_->columns)[index_].name;
}

TFieldType CursorField::FieldType() const {
    return (*cursor_.state_->columns)[index_].type;
}

int CursorField::Size() const {
    return (*cursor_.state_->columns)[index_].size;
}

std::string CursorField::ReadString() const {
    return ValueText((*cursor_.state_->columns)[index_], cursor_.CurrentValue(index_));
}

const FieldValue& CursorField::Value() const {
    return cursor_.CurrentValue(index_);
}

int CursorField::FractionDigits() const {
    return (*cursor_.state_->columns)[index_].fractionDigits;
}

bool CursorField::Zoned() const {
    return (*cursor_.state_->columns)[index_].zoned;
}

std::int64_t CursorField::FirstSecond() const {
    return (*cursor_.state_->columns)[index_].firstSecond;
}

std::int64_t CursorField::LastSecond() const {
    return (*cursor_.state_->columns)[index_].lastSecond;
}

bool CursorField::IsWide() const {
    return (*cursor_.state_->columns)[index_].wide;
}

bool CursorField::IsUnsigned() const {
    return (*cursor_.state_->columns)[index_].unsignedWide;
}

bool CursorField::LeftToDefault() const {
    const TableCursor::State& state = *cursor_.state_;
    return state.mode == TableCursor::State::Mode::Insert && !state.assigned[index_];
}

void CursorField::WriteString(const std::string& text) {
    TableCursor::State& state = cursor_.EditState();
    StoreText((*state.columns)[index_], text, state.buffer[index_]);
    state.assigned[index_] = true;
}

void CursorField::WriteInteger(std::int32_t value) {
    TableCursor::State& state = cursor_.EditState();
    StoreInteger((*state.columns)[index_], value, state.buffer[index_]);
    state.assigned[index_] = true;
}

void CursorField::WriteValueOf(const CursorField& source) {
    const FieldValue& value = source.cursor_.CurrentValue(source.index_);
    TableCursor::State& state = cursor_.EditState();
    StoreValue((*state.columns)[index_], (*source.cursor_.state_->columns)[source.index_], value,
               state.buffer[index_]);
    state.assigned[index_] = true;
}

void CursorField::WriteFloat(double value) {
    TableCursor::State& state = cursor_.EditState();
    StoreReal((*state.columns)[index_], value, state.buffer[index_]);
    state.assigned[index_] = true;
}

void CursorField::WriteDateTime(const DateTimeValue& value) {
    TableCursor::State& state = cursor_.EditState();
    StoreDateTime((*state.columns)[index_], value, state.buffer[index_]);
    state.assigned[index_] = true;
}

}  // namespace rowsmith
