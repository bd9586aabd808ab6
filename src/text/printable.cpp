#include "text/printable.h"

#include <cstddef>

namespace rowsmith {

// Follows the table of well-formed byte sequences in the Unicode standard (section 3.9).
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0u;
    };
    const unsigned lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) {
            low = 0xA0;  // no overlong forms
        } else if (lead == 0xED) {
            high = 0x9F;  // no surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;  // nothing past U+10FFFF
        }
    } else {
        return 0;
    }
    if (byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

std::size_t ScreenColumns(std::string_view text) {
    std::size_t columns = 0;
    for (char c : text) {
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return columns;
}

namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
    static const char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

std::string Escaped(std::string_view bytes, bool keepLineFeeds) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = Utf8SequenceLength(bytes, at);
        const bool control =
            lead < 0x20 || lead == 0x7F ||
            (length == 2 && lead == 0xC2 && static_cast<unsigned char>(bytes[at + 1]) < 0xA0);
        if (length == 0) {
            AppendEscaped(out, lead);
            ++at;
        } else if (control && !(keepLineFeeds && lead == '\n')) {
            for (std::size_t i = 0; i < length; ++i) {
                AppendEscaped(out, static_cast<unsigned char>(bytes[at + i]));
            }
            at += length;
        } else {
            out.append(bytes.substr(at, length));
            at += length;
        }
    }
    return out;
}

}  // namespace

std::string PrintableText(std::string_view bytes) {
    return Escaped(bytes, false);
}

std::string PrintableLines(std::string_view bytes) {
    return Escaped(bytes, true);
}

}  // namespace rowsmith
