#include "engine/update_form.h"

namespace rowsmith {

namespace {

void Append(std::string& list, const char* separator, const std::string& item) {
    if (!list.empty()) {
        list += separator;
    }
    list += item;
}

}  // namespace

UpdateForm MakeUpdateForm(const UpdateDialect& dialect, const std::string& table,
                          const std::vector<UpdateColumn>& keys,
                          const std::vector<UpdateColumn>& written) {
    UpdateParts parts;
    parts.table = table;
    parts.scratch = dialect.Scratch();
    // Parameters are numbered in the order of a row.
    const std::size_t firstKey = dialect.KeysFirst() ? 1 : written.size() + 1;
    const std::size_t firstWritten = dialect.KeysFirst() ? keys.size() + 1 : 1;
    std::string keySelect;
    std::string keyNames;
    std::string keyMarks;
    std::string plainKey;
    std::string singleKeyMarks;
    parts.leadKey = "t." + keys.front().name;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        // The temporary table's columns have names of their own, since a key column may be
        // written too.
        const std::string as = "k" + std::to_string(i + 1);
        Append(keySelect, ", ", "t." + keys[i].name + " AS " + as);
        Append(keyNames, ", ", as);
        Append(keyMarks, ", ", dialect.Mark(firstKey + i, ""));
        Append(parts.join, " AND ", "t." + keys[i].name + " = s." + as);
        Append(plainKey, ", ", keys[i].name);
        Append(singleKeyMarks, ", ", dialect.Mark(firstKey + i, keys[i].type));
    }
    std::string valueSelect;
    std::string valueNames;
    std::string valueMarks;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const std::string as = "c" + std::to_string(i + 1);
        const std::string set = dialect.SetTarget(written[i].name) + " = s." + as;
        Append(valueSelect, ", ", "t." + written[i].name + " AS " + as);
        Append(valueNames, ", ", as);
        Append(valueMarks, ", ", dialect.Mark(firstWritten + i, ""));
        Append(parts.sets, ", ", set);
        if (!written[i].key) {
            Append(parts.keptSets, ", ", set);
        }
        Append(parts.singleSets, ", ",
               written[i].name + " = " + dialect.Mark(firstWritten + i, ""));
    }
    const auto inOrder = [&](const std::string& key, const std::string& value) {
        return dialect.KeysFirst() ? key + ", " + value : value + ", " + key;
    };
    parts.select = inOrder(keySelect, valueSelect);
    parts.names = inOrder(keyNames, valueNames);
    parts.marks = inOrder(keyMarks, valueMarks);
    parts.singleKey = "(" + plainKey + ") = (" + singleKeyMarks + ")";
    return dialect.Spell(parts);
}

}  // namespace rowsmith
