// TextPattern: the pattern of "Text from a pattern", read into the pieces a value is made of.
//
//   #  a digit                      {name}        a library's value, or the value this record
//   ?  an upper-case letter                       writes to the column of that name
//   *  an upper-case letter or a digit
//   \c the character c as it is     {name|lower}  the same with modifiers, applied left to right:
//                                                 lower, upper, ascii, first
//
// Any other character stands for itself. Reading looks only at the pattern: whether a name is a
// column or a library is the generator's question.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rowsmith {

class TextPattern {
public:
    enum class Kind : std::uint8_t { Text, Digit, Letter, LetterOrDigit, Name };
    enum class Modifier : std::uint8_t { Lower, Upper, Ascii, First };

    struct Piece {
        Kind kind = Kind::Text;
        // The characters of a Text piece, the name of a Name piece.
        std::string text;
        std::vector<Modifier> modifiers;
    };

    // Reads `pattern` into `result`; the reason when it is no pattern, else empty.
    static std::string Parse(std::string_view pattern, TextPattern& result);

    const std::vector<Piece>& Pieces() const { return pieces_; }
    // The names between braces, in order, each once.
    std::vector<std::string> Names() const;

    // `text` with `modifiers` applied in their order.
    static std::string Modify(std::string text, const std::vector<Modifier>& modifiers);

private:
    void AddText(char c);

    std::vector<Piece> pieces_;
};

}  // namespace rowsmith
