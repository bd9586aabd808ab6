#include "model/fill_methods.h"

namespace rowsmith {

const std::array<const char*, 8> kFillMethodCaptions = {
    "Don't fill it",
    "Single value",
    "Random value from a set",
    "Integer random value from range",
    "Real random value from range",
    "Autoincrement",
    "Random string",
    "The values from the master table",
};

// "Emty" is the name scenario users know this method by.
const std::array<const char*, 3> kTableFillMethodCaptions = {
    "Emty table and fill",
    "Update and fill",
    "Update existing",
};

std::optional<std::string> FillMethodHint(std::int32_t code) {
    static const std::array<const char*, 8> hints = {
        "The values of field will not be changed",
        "All records will have the same value for thid field",
        "The value for this field will be chosed from the set by random way",
        "This field will be filled by integer random values from the range",
        "This field will be filled by real random values from the range",
        "Autoincrement from the specified value",
        "Random string value with defined maximum length",
        "Take values from the field of another table",
    };
    if (code < 0 || static_cast<std::size_t>(code) >= hints.size()) {
        return std::nullopt;
    }
    return std::string(hints[static_cast<std::size_t>(code)]);
}

}  // namespace rowsmith
