// Fuzz target: the value library reader. Whatever the bytes, it either refuses them with an
// Exception or gives a library whose values are UTF-8 with weights in range, whose draws land on
// its values, and which, written back in library form with every weight, reads as the same list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fill/value_library.h"
#include "text/errors.h"
#include "text/printable.h"

namespace {

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = rowsmith::Utf8SequenceLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using rowsmith::ValueLibrary;
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const ValueLibrary library = ValueLibrary::Parse(text, "fuzz");
        // A header first, as a library file has, so a value starting with a byte order mark
        // is not taken for the file's own.
        std::string written = "# written back\n";
        for (std::size_t i = 0; i < library.Count(); ++i) {
            if (!IsUtf8(library.Value(i)) || library.Weight(i) < 1 ||
                library.Weight(i) > ValueLibrary::kMaxWeight ||
                library.Value(i).size() > library.LongestValue()) {
                std::abort();
            }
            written +=
                std::string(library.Value(i)) + "\t" + std::to_string(library.Weight(i)) + "\n";
        }
        rowsmith::RandomSource random;
        for (int i = 0; i < 64; ++i) {
            const std::string_view value = library.Pick(random);
            if (value.data() < library.Value(0).data() ||
                value.data() + value.size() > library.Value(library.Count() - 1).data() +
                                                  library.Value(library.Count() - 1).size()) {
                std::abort();
            }
        }
        const ValueLibrary again = ValueLibrary::Parse(written, "fuzz");
        if (again.Count() != library.Count()) {
            std::abort();
        }
        for (std::size_t i = 0; i < library.Count(); ++i) {
            if (again.Value(i) != library.Value(i) || again.Weight(i) != library.Weight(i)) {
                std::abort();
            }
        }
    } catch (const rowsmith::Exception&) {
    }
    return 0;
}
