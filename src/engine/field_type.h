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

}  // namespace rowsmith
