#include "text/errors.h"

namespace rowsmith {

EListError EListError::OutOfBounds(long long index) {
    return EListError("List index out of bounds (" + std::to_string(index) + ")");
}

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
        text += '.';
    }
    return text;
}

}  // namespace rowsmith
