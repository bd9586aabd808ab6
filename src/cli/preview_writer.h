// PreviewWriter: prints the first records each table of a fill gets, as --preview shows them:
// aligned columns under their names, CSV, or one JSON object a line, each value in the form
// value_formats.h gives it. A column the fill leaves alone on a new record shows as NULL.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace rowsmith {

class CursorField;
class TableCursor;

class PreviewWriter {
public:
    enum class Format { Table, Csv, JsonLines };

    PreviewWriter(Format format, long long limit, std::FILE* out);

    // One record of the fill, in the order the fill makes them. Takes the first `limit` of each
    // table; a table's records are printed once the next table starts or Finish is called.
    void Record(const TableCursor& record);
    // Prints what is still held, also after a run an error stopped.
    void Finish();

private:
    // A column's name and a value as the format writes them.
    std::string HeaderText(const std::string& name) const;
    std::string CellText(const CursorField& field) const;
    void PrintTable() const;
    void PrintCsv() const;
    void PrintJsonLines() const;

    Format format_;
    long long limit_;
    std::FILE* out_;
    bool printedAny_ = false;
    std::string table_;
    // Held as the format writes them.
    std::vector<std::string> columns_;
    std::vector<std::vector<std::string>> rows_;
};

// "table", "csv", "jsonl"; false for any other name.
bool PreviewFormatFromName(const std::string& name, PreviewWriter::Format& format);

}  // namespace rowsmith
