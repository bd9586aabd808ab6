#include "cli/record_exporter.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/table_cursor.h"
#include "text/errors.h"

namespace rowsmith {

namespace {

// A table name as a file name in the folder: a slash or a zero byte would leave it.
std::string FileNameOf(const std::string& table, const char* extension) {
    std::string name = table.empty() ? "_" : table;
    for (char& c : name) {
        if (c == '/' || c == '\0') {
            c = '_';
        }
    }
    return name + extension;
}

const char* ExtensionOf(RecordExporter::Format format) {
    switch (format) {
        case RecordExporter::Format::Csv:
            return ".csv";
        case RecordExporter::Format::JsonLines:
            return ".jsonl";
        case RecordExporter::Format::Sql:
            return ".sql";
    }
    return "";
}

}  // namespace

bool ExportFormatFromName(const std::string& name, RecordExporter::Format& format) {
    if (name == "csv") {
        format = RecordExporter::Format::Csv;
    } else if (name == "jsonl") {
        format = RecordExporter::Format::JsonLines;
    } else if (name == "sql") {
        format = RecordExporter::Format::Sql;
    } else {
        return false;
    }
    return true;
}

SqlDialect SqlDialectOfDriver(const std::string& driver) {
    if (driver == "POSTGRESQL") {
        return SqlDialect::PostgreSQL;
    }
    if (driver == "MARIADB" || driver == "MYSQL") {
        return SqlDialect::MariaDB;
    }
    return SqlDialect::SQLite;
}

RecordExporter::RecordExporter(Format format, std::string folder, SqlDialect dialect)
    : format_(format), folder_(std::move(folder)), dialect_(dialect) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error || !std::filesystem::is_directory(folder_)) {
        throw EFCreateError("Cannot create folder " + folder_ + ": " +
                            (error ? error.message() : std::string("not a folder")));
    }
}

RecordExporter::~RecordExporter() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void RecordExporter::Record(const TableCursor& record) {
    if (file_ == nullptr || record.TableName() != table_) {
        StartTable(record);
    }
    switch (format_) {
        case Format::Csv:
            for (int i = 0; i < record.FieldCount(); ++i) {
                if (i > 0) {
                    pending_ += ',';
                }
                AppendCsvValue(pending_, record.FieldAt(i));
            }
            pending_ += "\r\n";
            break;
        case Format::JsonLines:
            pending_ += "{\"table\":";
            pending_ += tableText_;
            pending_ += ",\"record\":{";
            for (int i = 0; i < record.FieldCount(); ++i) {
                if (i > 0) {
                    pending_ += ',';
                }
                pending_ += columns_[static_cast<std::size_t>(i)];
                pending_ += ':';
                AppendJsonValue(pending_, record.FieldAt(i));
            }
            pending_ += "}}\n";
            break;
        case Format::Sql:
            AppendSqlInsert(record);
            break;
    }
    if (pending_.size() >= kFlushSize) {
        WriteLines();
    }
}

void RecordExporter::AppendSqlInsert(const TableCursor& record) {
    pending_ += "INSERT INTO ";
    pending_ += tableText_;
    // Columns the fill leaves to the database are left out, so they get their defaults there too.
    std::size_t listStart = pending_.size();
    pending_ += " (";
    bool any = false;
    for (int i = 0; i < record.FieldCount(); ++i) {
        if (!record.FieldAt(i).LeftToDefault()) {
            pending_ += any ? ", " : "";
            pending_ += columns_[static_cast<std::size_t>(i)];
            any = true;
        }
    }
    if (!any) {
        pending_.resize(listStart);
        pending_ += dialect_ == SqlDialect::MariaDB ? " () VALUES ();\n" : " DEFAULT VALUES;\n";
        return;
    }
    pending_ += ") VALUES (";
    any = false;
    for (int i = 0; i < record.FieldCount(); ++i) {
        if (!record.FieldAt(i).LeftToDefault()) {
            pending_ += any ? ", " : "";
            AppendSqlValue(pending_, record.FieldAt(i), dialect_);
            any = true;
        }
    }
    pending_ += ");\n";
}

void RecordExporter::StartTable(const TableCursor& record) {
    CloseFile();
    table_ = record.TableName();
    path_ = (std::filesystem::path(folder_) / FileNameOf(table_, ExtensionOf(format_))).string();
    const bool again = !begun_.insert(path_).second;
    file_ = std::fopen(path_.c_str(), again ? "ab" : "wb");
    if (file_ == nullptr) {
        throw EFCreateError("Cannot create file " + path_ + ": " + std::strerror(errno));
    }

    std::vector<std::string> names;
    record.ListFieldNames(names);
    columns_.clear();
    tableText_.clear();
    for (const std::string& name : names) {
        std::string text;
        switch (format_) {
            case Format::Csv:
                AppendCsvText(text, name);
                break;
            case Format::JsonLines:
                AppendJsonString(text, name);
                break;
            case Format::Sql:
                AppendSqlIdentifier(text, name, dialect_);
                break;
        }
        columns_.push_back(std::move(text));
    }
    if (format_ == Format::JsonLines) {
        AppendJsonString(tableText_, table_);
    } else if (format_ == Format::Sql) {
        AppendSqlIdentifier(tableText_, table_, dialect_);
    } else if (!again) {
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            pending_ += i > 0 ? "," : "";
            pending_ += columns_[i];
        }
        pending_ += "\r\n";
    }
}

void RecordExporter::WriteLines() {
    if (std::fwrite(pending_.data(), 1, pending_.size(), file_) != pending_.size()) {
        throw EWriteError("Cannot write file " + path_ + ": " + std::strerror(errno));
    }
    pending_.clear();
}

void RecordExporter::CloseFile() {
    if (file_ == nullptr) {
        return;
    }
    WriteLines();
    std::FILE* file = file_;
    file_ = nullptr;
    const bool failed = std::ferror(file) != 0;
    if (std::fclose(file) != 0 || failed) {
        throw EWriteError("Cannot write file " + path_ + ": " + std::strerror(errno));
    }
}

void RecordExporter::Finish() {
    CloseFile();
}

}  // namespace rowsmith
