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

}  // namespace rowsmith
