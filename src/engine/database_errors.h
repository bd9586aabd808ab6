// Errors of the database layer: EDatabaseError for what the access layer finds itself (a missing
// table name, a value a column refuses), EDBEngineError for what the database reports, carrying
// the database's own text, one entry per line.
#pragma once

#include <string>

#include "text/errors.h"

namespace rowsmith {

class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

class EDBEngineError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// The database gave up waiting for a lock that another connection holds: the alias's LOCK
// TIMEOUT ran out. A cursor adds the name of its table to the database's message.
class ELockTimeout : public EDBEngineError {
public:
    using EDBEngineError::EDBEngineError;
};

// "%g is not a valid value for field '%s'. The allowed range is %g to %g".
EDatabaseError OutOfRangeError(long double value, const std::string& fieldName, long double low,
                               long double high);

}  // namespace rowsmith
