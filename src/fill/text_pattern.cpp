#include "fill/text_pattern.h"

#include <algorithm>

#include "text/letter_forms.h"

namespace rowsmith {

namespace {

bool ReadModifier(std::string_view word, TextPattern::Modifier& modifier) {
    using enum TextPattern::Modifier;
    static const struct {
        std::string_view word;
        TextPattern::Modifier modifier;
    } kModifiers[] = {{"lower", Lower}, {"upper", Upper}, {"ascii", Ascii}, {"first", First}};
    for (const auto& known : kModifiers) {
        if (word == known.word) {
            modifier = known.modifier;
            return true;
        }
    }
    return false;
}

// Reads the inside of a pair of braces, "name|modifier|...", into `piece`.
std::string ReadName(std::string_view inside, TextPattern::Piece& piece) {
    piece.kind = TextPattern::Kind::Name;
    const std::size_t bar = inside.find('|');
    piece.text = std::string(inside.substr(0, bar));
    if (piece.text.empty()) {
        return "a pair of braces without a name";
    }
    for (std::size_t start = bar; start != std::string_view::npos;) {
        const std::size_t next = inside.find('|', start + 1);
        const std::string_view word = inside.substr(start + 1, next - start - 1);
        TextPattern::Modifier modifier;
        if (!ReadModifier(word, modifier)) {
            return "unknown modifier \"" + std::string(word) + "\" in {" + std::string(inside) +
                   "}: lower, upper, ascii or first";
        }
        piece.modifiers.push_back(modifier);
        start = next;
    }
    return {};
}

}  // namespace

std::string TextPattern::Parse(std::string_view pattern, TextPattern& result) {
    result.pieces_.clear();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        switch (c) {
            case '#':
                result.pieces_.push_back(Piece{Kind::Digit, {}, {}});
                break;
            case '?':
                result.pieces_.push_back(Piece{Kind::Letter, {}, {}});
                break;
            case '*':
                result.pieces_.push_back(Piece{Kind::LetterOrDigit, {}, {}});
                break;
            case '\\':
                if (i + 1 == pattern.size()) {
                    return "the \\ at its end has no character to take";
                }
                result.AddText(pattern[++i]);
                break;
            case '{': {
                const std::size_t close = pattern.find_first_of("{}", i + 1);
                if (close == std::string_view::npos || pattern[close] == '{') {
                    return "the { at character " + std::to_string(i + 1) + " has no }";
                }
                Piece piece;
                std::string bad = ReadName(pattern.substr(i + 1, close - i - 1), piece);
                if (!bad.empty()) {
                    return bad;
                }
                result.pieces_.push_back(std::move(piece));
                i = close;
                break;
            }
            case '}':
                return "the } at character " + std::to_string(i + 1) + " has no {";
            default:
                result.AddText(c);
                break;
        }
    }
    return {};
}

void TextPattern::AddText(char c) {
    if (pieces_.empty() || pieces_.back().kind != Kind::Text) {
        pieces_.push_back(Piece{Kind::Text, {}, {}});
    }
    pieces_.back().text += c;
}

std::vector<std::string> TextPattern::Names() const {
    std::vector<std::string> names;
    for (const Piece& piece : pieces_) {
        if (piece.kind == Kind::Name &&
            std::find(names.begin(), names.end(), piece.text) == names.end()) {
            names.push_back(piece.text);
        }
    }
    return names;
}

std::string TextPattern::Modify(std::string text, const std::vector<Modifier>& modifiers) {
    for (const Modifier modifier : modifiers) {
        switch (modifier) {
            case Modifier::Lower:
                text = LowerLetters(text);
                break;
            case Modifier::Upper:
                text = UpperLetters(text);
                break;
            case Modifier::Ascii:
                text = AsciiLetters(text);
                break;
            case Modifier::First:
                text = FirstCharacter(text);
                break;
        }
    }
    return text;
}

}  // namespace rowsmith
