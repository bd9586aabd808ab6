// Bytes from files and databases made fit to show in a message. Texts are bytes that the program
// treats as UTF-8; a message carrying a name or a value read from a scenario, an alias file or a
// database may hold a zero byte (which would cut it short wherever it is passed as a C string),
// bytes that are no UTF-8 (which the window would show as replacement marks) or control
// characters (which move a terminal's cursor or clear its screen). These functions write each
// such byte as "\x" and two upper-case hexadecimal digits and leave everything else as it is, so
// well-formed UTF-8 text, "Größe" say, is shown unchanged. Applying them twice changes nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rowsmith {

// Escapes the control characters U+0000 to U+001F (line breaks included), U+007F and U+0080 to
// U+009F, and every byte that is not part of a well-formed UTF-8 sequence (overlong forms,
// surrogates and values past U+10FFFF included). For one-line texts: a table name, a caption.
std::string PrintableText(std::string_view bytes);

// The same, but line feeds stay: for messages made of lines, such as a database's message and
// its detail, which the window shows as lines and rowsmith-fill joins into one.
std::string PrintableLines(std::string_view bytes);

// The length of the well-formed UTF-8 sequence starting at `at`, or 0 when there is none (the
// rules above: no overlong forms, surrogates or values past U+10FFFF).
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at);

// The characters a terminal shows for `text`, each UTF-8 sequence counting as one.
std::size_t ScreenColumns(std::string_view text);

}  // namespace rowsmith
