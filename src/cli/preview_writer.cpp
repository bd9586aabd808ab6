#include "cli/preview_writer.h"

#include <algorithm>

#include "engine/table_cursor.h"

namespace rowsmith {

namespace {

// Characters on the screen, counting a UTF-8 sequence as one.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (c == '\n') {
            json += "\\n";
        } else if (c == '\r') {
            json += "\\r";
        } else if (c == '\t') {
            json += "\\t";
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            json += escape;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

void PrintCsvLine(std::FILE* out, const std::string& first, const std::vector<std::string>& rest) {
    std::string line = CsvField(first);
    for (const std::string& value : rest) {
        line += ',' + CsvField(value);
    }
    // CSV lines end in CRLF, so values with line breaks of their own read back unchanged.
    std::fprintf(out, "%s\r\n", line.c_str());
}

}  // namespace

bool PreviewFormatFromName(const std::string& name, PreviewWriter::Format& format) {
    if (name == "table") {
        format = PreviewWriter::Format::Table;
    } else if (name == "csv") {
        format = PreviewWriter::Format::Csv;
    } else if (name == "jsonl") {
        format = PreviewWriter::Format::JsonLines;
    } else {
        return false;
    }
    return true;
}

PreviewWriter::PreviewWriter(Format format, long long limit, std::FILE* out)
    : format_(format), limit_(limit), out_(out) {}

void PreviewWriter::Record(const TableCursor& record) {
    if (record.TableName() != table_ || columns_.empty()) {
        Finish();
        table_ = record.TableName();
        record.ListFieldNames(columns_);
    }
    if (static_cast<long long>(rows_.size()) >= limit_) {
        return;
    }
    std::vector<std::string> row;
    row.reserve(columns_.size());
    for (int i = 0; i < record.FieldCount(); ++i) {
        row.push_back(record.FieldAt(i).ReadString());
    }
    rows_.push_back(std::move(row));
}

void PreviewWriter::Finish() {
    if (!columns_.empty()) {
        switch (format_) {
            case Format::Table:
                PrintTable();
                break;
            case Format::Csv:
                PrintCsv();
                break;
            case Format::JsonLines:
                PrintJsonLines();
                break;
        }
        printedAny_ = true;
    }
    std::fflush(out_);
    table_.clear();
    columns_.clear();
    rows_.clear();
}

void PreviewWriter::PrintTable() const {
    std::vector<std::size_t> widths;
    for (const std::string& column : columns_) {
        widths.push_back(Width(column));
    }
    for (const auto& row : rows_) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], Width(row[i]));
        }
    }
    const auto printRow = [&](const std::vector<std::string>& values) {
        std::string line;
        for (std::size_t i = 0; i < values.size(); ++i) {
            line += values[i];
            if (i + 1 < values.size()) {
                line.append(widths[i] - Width(values[i]) + 2, ' ');
            }
        }
        std::fprintf(out_, "%s\n", line.c_str());
    };
    std::fprintf(out_, "%s%s\n", printedAny_ ? "\n" : "", table_.c_str());
    printRow(columns_);
    std::vector<std::string> rules;
    for (std::size_t width : widths) {
        rules.emplace_back(width, '-');
    }
    printRow(rules);
    for (const auto& row : rows_) {
        printRow(row);
    }
}

void PreviewWriter::PrintCsv() const {
    // Every table has its own columns: each part starts with a header line of them, after the
    // column that names the table.
    PrintCsvLine(out_, "table", columns_);
    for (const auto& row : rows_) {
        PrintCsvLine(out_, table_, row);
    }
}

void PreviewWriter::PrintJsonLines() const {
    for (const auto& row : rows_) {
        std::string line = "{\"table\":" + JsonString(table_) + ",\"record\":{";
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += (i > 0 ? "," : "") + JsonString(columns_[i]) + ":" + JsonString(row[i]);
        }
        std::fprintf(out_, "%s}}\n", line.c_str());
    }
}

}  // namespace rowsmith
