// Column data types and table kinds as the rest of the program sees them, whatever the driver.
#pragma once

#include <cstdint>

namespace rowsmith {

enum TFieldType : std::uint8_t {
    ftUnknown = 0,
    ftString = 1,
    ftSmallint = 2,
    ftInteger = 3,
    ftWord = 4,
    ftBoolean = 5,
    ftFloat = 6,
    ftCurrency = 7,
    ftBCD = 8,
    ftDate = 9,
    ftTime = 10,
    ftDateTime = 11,
    ftBytes = 12,
    ftVarBytes = 13,
    ftAutoInc = 14,
    ftBlob = 15,
    ftMemo = 16,
    ftGraphic = 17,
    ftFmtMemo = 18,
    ftParadoxOle = 19,
    ftDBaseOle = 20,
    ftTypedBinary = 21,
    ftCursor = 22,
};

// ttDefault lets the engine pick the table kind from the name; the others exist for
// compatibility of stored settings and are treated like it.
enum TTableType : std::uint8_t { ttDefault, ttParadox, ttDBase, ttASCII };

// The type's name as messages show it ("Integer", "String", ...).
const char* FieldTypeName(TFieldType type);

// The families of types, by what a column keeps (the value forms of field_value.h). Every type
// belongs to one family at most; ftBoolean, the dates and times and the types no driver gives
// belong to none.

// Whole numbers: WriteInteger(n) stores what WriteString with n's digits stores, range included.
constexpr bool StoresIntegers(TFieldType type) {
    return type == ftSmallint || type == ftInteger || type == ftWord || type == ftAutoInc;
}
// Reals: a real is stored as the number its text reads as.
constexpr bool StoresReals(TFieldType type) {
    return type == ftFloat || type == ftCurrency || type == ftBCD;
}
// Text, kept to the column's declared size.
constexpr bool StoresText(TFieldType type) {
    return type == ftString || type == ftMemo || type == ftFmtMemo;
}
// Bytes of any value, zero included.
constexpr bool StoresBytes(TFieldType type) {
    return type == ftBlob || type == ftBytes || type == ftVarBytes || type == ftGraphic ||
           type == ftTypedBinary;
}

// The groups the fill's check and range generator test, which are not families of storage.

// The types whose single value the check takes only when it is a number: the whole
// numbers and ftFloat and ftCurrency. ftBCD is not among them: any text passes the check, and
// the column refuses what does not convert when it is written.
constexpr bool SingleValueIsNumber(TFieldType type) {
    return StoresIntegers(type) || type == ftFloat || type == ftCurrency;
}
// The types a range makes whole numbers for. ftAutoInc is not among them: a range gives
// it the empty text, as it gives every type of neither range group.
constexpr bool RangeMakesIntegers(TFieldType type) {
    return type == ftSmallint || type == ftInteger || type == ftWord;
}
// The types a range makes reals for, with four decimals, two for ftCurrency.
constexpr bool RangeMakesReals(TFieldType type) {
    return type == ftFloat || type == ftCurrency;
}

}  // namespace rowsmith
