// The one error hierarchy of Rowsmith. Every failure travels as one of these exceptions, carrying
// a message fit for the user, up to a single handler: the window's QApplication::notify override
// or the main function of rowsmith-fill. Nothing below those two catches an error to hide it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace rowsmith {

// The general error class; the fill engine raises it with its own messages. A message may carry
// names and values from files and databases: its control characters other than line feeds and
// its bytes that are no UTF-8 are escaped as "\xHH" here (see text/printable.h), so that what()
// gives the whole message, never cut short at a zero byte, and the handlers show it as it is.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message);
};

// A text that does not convert to a number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A list position outside the list: "List index out of bounds (%d)".
class EListError : public Exception {
public:
    using Exception::Exception;
    static EListError OutOfBounds(long long index);
};

// A file that cannot be created: "Cannot create file %s".
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened or read: "Cannot open file %s: %s" with the system's reason.
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};

// A write to a file that failed: "Stream write error".
class EWriteError : public Exception {
public:
    using Exception::Exception;
};

// An operation a control or object refuses in its present state.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A silent stop: the handlers show nothing for it.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

// The text shown for an error: the message with a "." appended when it is not empty and its last
// character sorts after "." (so a message ending in a quotation mark gets none), but for a
// question mark. Bytes unfit to
// show are escaped as in Exception, also in messages of errors from outside this hierarchy.
std::string ErrorBoxText(std::string_view message);

}  // namespace rowsmith
