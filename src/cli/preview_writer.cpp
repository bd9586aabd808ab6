#include "cli/preview_writer.h"

#include <algorithm>

#include "cli/value_formats.h"
#include "engine/table_cursor.h"
#include "text/printable.h"

namespace rowsmith {

namespace {

// CSV lines end in CRLF, so values with line breaks of their own read back unchanged.
void PrintCsvLine(std::FILE* out, const std::string& first, const std::vector<std::string>& rest) {
    std::string line = first;
    for (const std::string& value : rest) {
        line += ',';
        line += value;
    }
    line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), out);
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
        for (std::string& column : columns_) {
            column = HeaderText(column);
        }
    }
    if (static_cast<long long>(rows_.size()) >= limit_) {
        return;
    }
    std::vector<std::string> row;
    row.reserve(columns_.size());
    for (int i = 0; i < record.FieldCount(); ++i) {
        row.push_back(CellText(record.FieldAt(i)));
    }
    rows_.push_back(std::move(row));
}

std::string PreviewWriter::HeaderText(const std::string& name) const {
    std::string text;
    switch (format_) {
        case Format::Table:
            text = name;
            break;
        case Format::Csv:
            AppendCsvText(text, name);
            break;
        case Format::JsonLines:
            AppendJsonString(text, name);
            break;
    }
    return text;
}

std::string PreviewWriter::CellText(const CursorField& field) const {
    std::string text;
    switch (format_) {
        case Format::Table:
            text = TableCellText(field);
            break;
        case Format::Csv:
            AppendCsvValue(text, field);
            break;
        case Format::JsonLines:
            AppendJsonValue(text, field);
            break;
    }
    return text;
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
        widths.push_back(ScreenColumns(column));
    }
    for (const auto& row : rows_) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], ScreenColumns(row[i]));
        }
    }
    const auto printRow = [&](const std::vector<std::string>& values) {
        std::string line;
        for (std::size_t i = 0; i < values.size(); ++i) {
            line += values[i];
            if (i + 1 < values.size()) {
                line.append(widths[i] - ScreenColumns(values[i]) + 2, ' ');
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
    std::string table;
    AppendCsvText(table, table_);
    PrintCsvLine(out_, "table", columns_);
    for (const auto& row : rows_) {
        PrintCsvLine(out_, table, row);
    }
}

void PreviewWriter::PrintJsonLines() const {
    std::string table;
    AppendJsonString(table, table_);
    for (const auto& row : rows_) {
        std::string line = "{\"table\":" + table + ",\"record\":{";
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) {
                line += ',';
            }
            line += columns_[i] + ':' + row[i];
        }
        line += "}}\n";
        std::fwrite(line.data(), 1, line.size(), out_);
    }
}

}  // namespace rowsmith
