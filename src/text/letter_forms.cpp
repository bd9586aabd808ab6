#include "text/letter_forms.h"

#include <array>
#include <cstdint>

namespace rowsmith {

namespace {

// A character that is not well-formed UTF-8 reads as this, one byte long.
constexpr char32_t kBadByte = 0xFFFFFFFF;

// The character at `text[pos]` and the bytes it takes.
char32_t Decode(std::string_view text, std::size_t pos, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    std::size_t need = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        length = 1;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        value = lead & 0x07;
    } else {
        length = 1;
        return kBadByte;
    }
    if (pos + need >= text.size()) {
        length = 1;
        return kBadByte;
    }
    for (std::size_t i = 1; i <= need; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            length = 1;
            return kBadByte;
        }
        value = (value << 6) | (byte(i) & 0x3F);
    }
    length = need + 1;
    return value;
}

void Encode(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// In Latin Extended-A the two cases of a letter sit side by side; whether the upper one comes on
// an even or an odd code depends on the run.
bool UpperComesEven(char32_t c) {
    return (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177) || (c >= 0x218 && c <= 0x21B);
}
bool UpperComesOdd(char32_t c) {
    return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
}

char32_t Lower(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return c + 0x20;
    }
    if (c == 0x130) {
        return 'i';
    }
    if (c == 0x178) {
        return 0xFF;
    }
    if ((UpperComesEven(c) && c % 2 == 0) || (UpperComesOdd(c) && c % 2 == 1)) {
        return c + 1;
    }
    return c;
}

char32_t Upper(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return c - 0x20;
    }
    if (c == 0x131) {
        return 'I';
    }
    if (c == 0xFF) {
        return 0x178;
    }
    if ((UpperComesEven(c) && c % 2 == 1) || (UpperComesOdd(c) && c % 2 == 0)) {
        return c - 1;
    }
    return c;
}

// U+00C0 to U+00FF without accents.
constexpr std::array<const char*, 64> kLatin1 = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I",  "I",
    "D", "N", "O", "O", "O", "O", "O",  "",  "O", "U", "U", "U", "U", "Y", "TH", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y"};
// U+0100 to U+017F without accents, one letter each but for the ligatures at U+0132 and U+0152.
constexpr std::string_view kExtendedA =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi"
    "__JjKkkLlLlLlLlLlNnNnNnnNnOoOoOo__RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";

std::string_view AsciiOf(char32_t c) {
    static const std::array<char, 128> kAscii = [] {
        std::array<char, 128> table{};
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i] = static_cast<char>(i);
        }
        return table;
    }();
    if (c < 0x80) {
        return std::string_view(&kAscii[c], 1);
    }
    if (c >= 0xC0 && c <= 0xFF) {
        return kLatin1[c - 0xC0];
    }
    switch (c) {
        case 0x132:
            return "IJ";
        case 0x133:
            return "ij";
        case 0x152:
            return "OE";
        case 0x153:
            return "oe";
        default:
            break;
    }
    if (c >= 0x100 && c <= 0x17F) {
        return kExtendedA.substr(c - 0x100, 1);
    }
    // The Romanian letters with a comma below, which Latin Extended-B added.
    if (c >= 0x218 && c <= 0x21B) {
        return std::string_view("SsTt").substr(c - 0x218, 1);
    }
    return {};
}

template <class Change>
std::string EachCharacter(std::string_view text, Change change) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = 0;
        const char32_t c = Decode(text, pos, length);
        if (c == kBadByte) {
            out += text[pos];
        } else {
            Encode(change(c), out);
        }
        pos += length;
    }
    return out;
}

// Most values are plain ASCII, whose letters change case without decoding: a pattern changes one
// or two values per record.
bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string ShiftAscii(std::string_view text, char first, char last, int shift) {
    std::string out(text);
    for (char& c : out) {
        if (c >= first && c <= last) {
            c = static_cast<char>(c + shift);
        }
    }
    return out;
}

}  // namespace

std::string LowerLetters(std::string_view text) {
    return IsAscii(text) ? ShiftAscii(text, 'A', 'Z', 'a' - 'A') : EachCharacter(text, Lower);
}

std::string UpperLetters(std::string_view text) {
    return IsAscii(text) ? ShiftAscii(text, 'a', 'z', 'A' - 'a') : EachCharacter(text, Upper);
}

std::string AsciiLetters(std::string_view text) {
    if (IsAscii(text)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = 0;
        const char32_t c = Decode(text, pos, length);
        if (c != kBadByte) {
            out += AsciiOf(c);
        }
        pos += length;
    }
    return out;
}

std::string FirstCharacter(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    std::size_t length = 0;
    Decode(text, 0, length);
    return std::string(text.substr(0, length));
}

}  // namespace rowsmith
