#include "engine/field_type.h"

namespace rowsmith {

const char* FieldTypeName(TFieldType type) {
    static const char* const names[] = {
        "Unknown", "String",     "SmallInt", "Integer",     "Word",   "Boolean",
        "Float",   "Currency",   "BCD",      "Date",        "Time",   "DateTime",
        "Bytes",   "VarBytes",   "AutoInc",  "Blob",        "Memo",   "Graphic",
        "FmtMemo", "ParadoxOle", "DBaseOle", "TypedBinary", "Cursor",
    };
    return type <= ftCursor ? names[type] : names[ftUnknown];
}

}  // namespace rowsmith
