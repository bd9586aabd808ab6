#include "engine/postgres/pg_copy_text.h"

#include <algorithm>

#include "engine/currency.h"

namespace rowsmith {

namespace {

bool NeedsEscape(char c) {
    return c == '\\' || c == '\t' || c == '\n' || c == '\r';
}

void AppendCopyText(std::string& line, std::string_view text) {
    // Most texts hold nothing to escape and go in one piece.
    const auto plain = std::find_if(text.begin(), text.end(), NeedsEscape);
    line.append(text.begin(), plain);
    for (char c : text.substr(static_cast<std::size_t>(plain - text.begin()))) {
        switch (c) {
            case '\\':
                line += "\\\\";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line += c;
        }
    }
}

}  // namespace

void AppendCopyValue(std::string& line, bool first, std::optional<std::string_view> value) {
    if (!first) {
        line += '\t';
    }
    if (value) {
        AppendCopyText(line, *value);
    } else {
        line += "\\N";
    }
}

void AppendCopyField(std::string& line, bool first, const FieldValue& value, PgKind kind) {
    if (!first) {
        line += '\t';
    }
    // Number texts hold no character to escape.
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        AppendPgNumber(line, *integer);
    } else if (const auto* real = std::get_if<double>(&value)) {
        AppendPgNumber(line, *real, kind);
    } else if (const auto* amount = std::get_if<Currency>(&value)) {
        AppendCurrency(line, *amount, '.');
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        if (kind == PgKind::Bytes) {
            // "\x" escaped, then hex digits.
            line += "\\\\x";
            AppendPgHex(line, *text);
        } else {
            CheckPgText(*text);
            AppendCopyText(line, *text);
        }
    } else {
        line += "\\N";
    }
}

std::vector<PgText> DecodeCopyLine(std::string_view line) {
    std::vector<PgText> values;
    std::size_t pos = 0;
    while (true) {
        const std::size_t end = std::min(line.find('\t', pos), line.size());
        const std::string_view field = line.substr(pos, end - pos);
        if (field == "\\N") {
            values.emplace_back(std::nullopt);
        } else {
            std::string text;
            text.reserve(field.size());
            for (std::size_t i = 0; i < field.size(); ++i) {
                if (field[i] != '\\' || i + 1 == field.size()) {
                    text += field[i];
                    continue;
                }
                const char escaped = field[++i];
                text += escaped == 't'   ? '\t'
                        : escaped == 'n' ? '\n'
                        : escaped == 'r' ? '\r'
                                         : escaped;
            }
            values.emplace_back(std::move(text));
        }
        if (end == line.size()) {
            return values;
        }
        pos = end + 1;
    }
}

}  // namespace rowsmith
