// TFillScenario: the one document Rowsmith works on — the alias and the tables to fill in order.
#pragma once

#include <string>

#include "model/ft_list.h"

namespace rowsmith {

class IniFile;

class TFillScenario {
public:
    TFillScenario() = default;

    TFTList& Tables() { return tables_; }
    const TFTList& Tables() const { return tables_; }
    const std::string& AliasName() const { return aliasName_; }
    void SetAliasName(const std::string& alias) { aliasName_ = alias; }

    // The position of the first table named exactly so (letter case counts), or -1.
    int FindTable(const std::string& name) const;
    // Appends a new table without looking for duplicates; gives its position.
    int AddTable(const std::string& name);

    // Writes the .scn file through a temporary file renamed over the target, so a failure leaves
    // the former file untouched (see ReplaceFile for links and folders that may not be written).
    // A name or value that the file cannot carry, so that reading it would give another scenario
    // (a line break anywhere; a comma in, or no, table or column name; two settings that would
    // share one section), is refused with an Exception naming the table or column before
    // anything is written. Throws EFCreateError or EWriteError; the scenario is unchanged.
    void SaveToFile(const std::string& fileName) const;
    // The contents SaveToFile writes, refusing the same.
    std::string SaveToText() const;
    // Reads a .scn file, appending to Tables (the caller clears it first). A missing file, or one
    // without a main section, reads as nothing; a table without a "Fields" line reads without
    // settings and is marked (TFillTable::FieldListMissing). A bad number stops the reading with
    // EConvertError, whose message gets a second line naming the file, section and key; what was
    // read before stays.
    void LoadFromFile(const std::string& fileName);
    // Reads the contents of a .scn file in the same way.
    void LoadFromText(const std::string& text);

private:
    // `fileName` is for messages; empty for a text.
    void Load(const IniFile& ini, const std::string& fileName);

    TFTList tables_;
    std::string aliasName_;
};

}  // namespace rowsmith
