#include "text/errors.h"

#include "text/printable.h"

namespace rowsmith {

Exception::Exception(const std::string& message) : std::runtime_error(PrintableLines(message)) {}

EListError EListError::OutOfBounds(long long index) {
    return EListError("List index out of bounds (" + std::to_string(index) + ")");
}

std::string ErrorBoxText(std::string_view message) {
    std::string text = PrintableLines(message);
    // A question, as the servers end some of their messages with, is already a sentence.
    if (!text.empty() && text.back() != '?' &&
        static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
        text += '.';
    }
    return text;
}

}  // namespace rowsmith
