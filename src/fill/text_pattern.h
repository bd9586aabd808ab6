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

#include "fill/random_source.h"

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

    // Appends one text the pattern makes to `out`, drawing each digit and letter from `random`
    // in piece order. For piece i of kind Name, `name(i, piece, out)` appends its value with the
    // piece's modifiers applied. A template, so a fill's per-record call costs no indirection.
    template <class NameValue>
    void Make(RandomSource& random, NameValue&& name, std::string& out) const {
        for (std::size_t i = 0; i < pieces_.size(); ++i) {
            const Piece& piece = pieces_[i];
            switch (piece.kind) {
                case Kind::Text:
                    out += piece.text;
                    break;
                case Kind::Digit:
                    out += static_cast<char>('0' + random.RandomBelow(10));
                    break;
                case Kind::Letter:
                    out += static_cast<char>('A' + random.RandomBelow(26));
                    break;
                case Kind::LetterOrDigit:
                    out += kLettersAndDigits[random.RandomBelow(
                        static_cast<std::uint32_t>(kLettersAndDigits.size()))];
                    break;
                case Kind::Name:
                    name(i, piece, out);
                    break;
            }
        }
    }

    // What "*" draws from.
    static constexpr std::string_view kLettersAndDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

private:
    void AddText(char c);

    std::vector<Piece> pieces_;
};

}  // namespace rowsmith
