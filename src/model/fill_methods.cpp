#include "model/fill_methods.h"

namespace rowsmith {

// "Emty" is the name scenario users know this method by.
const std::array<const char*, 3> kTableFillMethodCaptions = {
    "Emty table and fill",
    "Update and fill",
    "Update existing",
};

}  // namespace rowsmith
