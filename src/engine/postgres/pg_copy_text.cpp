#include "engine/postgres/pg_copy_text.h"

namespace rowsmith {

namespace {

void AppendCopyText(std::string& line, std::string_view text) {
    for (char c : text) {
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
