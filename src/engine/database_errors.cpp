#include "engine/database_errors.h"

#include "text/conversions.h"

namespace rowsmith {

EDatabaseError OutOfRangeError(long double value, const std::string& fieldName, long double low,
                               long double high) {
    return EDatabaseError(FormatGeneral(value) + " is not a valid value for field '" + fieldName +
                          "'. The allowed range is " + FormatGeneral(low) + " to " +
                          FormatGeneral(high));
}

}  // namespace rowsmith
