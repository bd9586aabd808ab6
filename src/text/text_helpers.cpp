#include "text/text_helpers.h"

#include <algorithm>
#include <cstdint>

#include "text/conversions.h"

namespace rowsmith {

namespace {

// Compared as unsigned bytes, as std::string compares.
unsigned char UpperByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

}  // namespace

bool IsSpace(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

bool FixedDigits(std::string_view text, std::size_t at, std::size_t count, int& number) {
    if (at + count > text.size()) {
        return false;
    }
    number = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!IsDigit(text[i])) {
            return false;
        }
        number = number * 10 + (text[i] - '0');
    }
    return true;
}

bool IsInteger(const std::string& text) {
    std::int32_t value = 0;
    return TryStrToInt(text, value);
}

bool IsFloat(const std::string& text) {
    long double value = 0;
    return TryStrToFloat(text, value);
}

bool IsDelimiter(char c, std::string_view delimiters) {
    return delimiters.find(c) != std::string_view::npos;
}

std::string NextToken(std::string& text, std::string_view delimiters) {
    if (text.empty()) {
        return {};
    }
    std::size_t start = 0;
    while (start < text.size() && IsSpace(text[start])) {
        ++start;
    }
    std::size_t end = start;
    if (start < text.size() && IsDelimiter(text[start], delimiters)) {
        while (end < text.size() && IsDelimiter(text[end], delimiters)) {
            ++end;
        }
    } else {
        while (end < text.size() && !IsSpace(text[end]) && !IsDelimiter(text[end], delimiters)) {
            ++end;
        }
    }
    std::string token = text.substr(start, end - start);
    text.erase(0, end);
    return token;
}

std::string TrimSpaces(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsSpace(text[first])) {
        ++first;
    }
    while (last > first && IsSpace(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

// An empty separator is never found, so both sides give the whole text.
std::string LeftOf(const std::string& separator, const std::string& text) {
    const auto at = separator.empty() ? std::string::npos : text.find(separator);
    return at == std::string::npos ? text : TrimSpaces(text.substr(0, at));
}

std::string RightOf(const std::string& separator, const std::string& text) {
    const auto at = separator.empty() ? std::string::npos : text.find(separator);
    return at == std::string::npos ? text : TrimSpaces(text.substr(at + separator.size()));
}

TableFieldParts SplitTableField(const std::string& text) {
    const auto point = text.find('.');
    if (point == std::string::npos) {
        return {"", text};
    }
    return {text.substr(0, point), text.substr(point + 1)};
}

std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string UpperCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(UpperByte(c));
    }
    return text;
}

int CompareText(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int difference = UpperByte(a[i]) - UpperByte(b[i]);
        if (difference != 0) {
            return difference;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

}  // namespace rowsmith
