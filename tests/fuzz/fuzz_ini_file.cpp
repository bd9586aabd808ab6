// Fuzz target: the INI reader. Whatever the bytes, it must not crash, and every section and key
// it lists it must find again, with the value a second parse of the same bytes gives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const rowsmith::IniFile ini = rowsmith::IniFile::Parse(text);
    const rowsmith::IniFile again = rowsmith::IniFile::Parse(text);
    for (const std::string& section : ini.Sections()) {
        if (!ini.HasSection(section)) {
            std::abort();
        }
        for (const std::string& key : ini.Keys(section)) {
            const auto value = ini.Find(section, key);
            if (!value || again.Find(section, key) != value) {
                std::abort();
            }
        }
    }
    return 0;
}
