// TFillScenario: the one document Rowsmith works on — the alias and the tables to fill in order.
#pragma once

#include <string>

#include "model/ft_list.h"

namespace rowsmith {

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
    // the former file untouched. Throws EFCreateError or EWriteError; the scenario is unchanged.
    void SaveToFile(const std::string& fileName) const;
    // Reads a .scn file, appending to Tables (the caller clears it first). A missing file, or one
    // without a main section, reads as nothing. A bad number stops the reading with EConvertError;
    // what was read before stays.
    void LoadFromFile(const std::string& fileName);

private:
    TFTList tables_;
    std::string aliasName_;
};

}  // namespace rowsmith
