#include "model/comma_items.h"

namespace rowsmith {

namespace {

constexpr char kQuote = '"';

// Reads a quoted item that starts at `pos`. Succeeds only when the closing quote is followed by
// a comma or the end of the text; `pos` then moves past that comma.
bool ReadQuotedItem(const std::string& text, std::size_t& pos, std::string& item) {
    std::size_t at = pos + 1;
    item.clear();
    for (;;) {
        const auto quote = text.find(kQuote, at);
        if (quote == std::string::npos) {
            return false;
        }
        item.append(text, at, quote - at);
        if (quote + 1 < text.size() && text[quote + 1] == kQuote) {
            item += kQuote;
            at = quote + 2;
            continue;
        }
        if (quote + 1 == text.size()) {
            pos = text.size();
            return true;
        }
        if (text[quote + 1] == ',') {
            pos = quote + 2;
            return true;
        }
        return false;
    }
}

bool NeedsQuotes(const std::string& item) {
    if (item.empty()) {
        return true;
    }
    for (const char c : item) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 127 || c == kQuote || c == ',') {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string NextCommaItem(const std::string& text, std::size_t& pos) {
    if (pos >= text.size()) {
        pos = text.size();
        return {};
    }
    const auto comma = text.find(',', pos);
    const auto end = comma == std::string::npos ? text.size() : comma;
    std::string item = text.substr(pos, end - pos);
    pos = comma == std::string::npos ? text.size() : comma + 1;
    return item;
}

std::vector<std::string> SplitValueSet(const std::string& text) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    std::string quoted;
    while (pos < text.size()) {
        if (text[pos] == kQuote && ReadQuotedItem(text, pos, quoted)) {
            items.push_back(quoted);
        } else {
            items.push_back(NextCommaItem(text, pos));
        }
    }
    return items;
}

std::string JoinValueSet(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        if (!NeedsQuotes(items[i])) {
            text += items[i];
            continue;
        }
        text += kQuote;
        for (const char c : items[i]) {
            if (c == kQuote) {
                text += kQuote;
            }
            text += c;
        }
        text += kQuote;
    }
    return text;
}

}  // namespace rowsmith
