// RecordExporter: writes every record of a fill to a file per table in one folder, for
// rowsmith-fill --export: TABLE.csv (a header line of the column names, then RFC 4180 lines),
// TABLE.jsonl (one JSON object a record, carrying its table) or TABLE.sql (one INSERT a record in
// the database's own SQL). Each record is written as it comes, so memory does not grow with the
// fill. A table that the scenario fills twice gets both fills' records in one file.
#pragma once

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "cli/value_formats.h"

namespace rowsmith {

class TableCursor;

class RecordExporter {
public:
    enum class Format { Csv, JsonLines, Sql };

    // Creates `folder` when it does not exist.
    RecordExporter(Format format, std::string folder, SqlDialect dialect);
    ~RecordExporter();
    RecordExporter(const RecordExporter&) = delete;
    RecordExporter& operator=(const RecordExporter&) = delete;

    void Record(const TableCursor& record);
    // Closes the file of the last table; raises the error of a write that failed.
    void Finish();

private:
    void StartTable(const TableCursor& record);
    void CloseFile();
    // Writes out the lines held.
    void WriteLines();
    void AppendSqlInsert(const TableCursor& record);

    Format format_;
    std::string folder_;
    SqlDialect dialect_;
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string table_;
    // The files begun in this run, which a later fill of the same table adds to.
    std::set<std::string> begun_;
    // The names as the format writes them.
    std::vector<std::string> columns_;
    std::string tableText_;
    // The lines not yet written, handed to the file in pieces of about kFlushSize bytes.
    std::string pending_;
    static constexpr std::size_t kFlushSize = 64 * 1024;
};

// "csv", "jsonl", "sql"; false for any other name.
bool ExportFormatFromName(const std::string& name, RecordExporter::Format& format);

// The SQL of the alias's database: its DRIVER key as the configuration gives it.
SqlDialect SqlDialectOfDriver(const std::string& driver);

}  // namespace rowsmith
