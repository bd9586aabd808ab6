// Letter forms of UTF-8 text: lower and upper case, letters written without their accents, the
// first character. They know the letters of ASCII, Latin-1, Latin Extended-A and the Romanian
// letters with a comma below, which cover the European languages written in Latin letters; other
// characters keep their form.
#pragma once

#include <string>
#include <string_view>

namespace rowsmith {

std::string LowerLetters(std::string_view text);
std::string UpperLetters(std::string_view text);
// Accented letters without their accents ("José" gives "Jose", "Æ" gives "AE", "ß" gives "ss");
// what has no such form in ASCII is left out, so the result is ASCII text.
std::string AsciiLetters(std::string_view text);
// The first character, with every byte of its UTF-8 sequence; empty for the empty text.
std::string FirstCharacter(std::string_view text);

}  // namespace rowsmith
