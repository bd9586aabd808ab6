#include "model/fill_scenario.h"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "model/comma_items.h"
#include "model/replace_file.h"
#include "text/conversions.h"
#include "text/errors.h"
#include "text/ini_file.h"
#include "text/printable.h"

namespace rowsmith {

namespace {

const char* const kCrLf = "\r\n";

// Names joined with "," and nothing else; no names give the empty text.
template <typename List, typename NameOf>
std::string JoinNames(const List& list, NameOf nameOf) {
    std::string joined;
    for (int i = 0; i < list.Count(); ++i) {
        if (i > 0) {
            joined += ',';
        }
        joined += nameOf(list.Items(i));
    }
    return joined;
}

std::vector<std::string> SplitNames(const std::string& list) {
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos < list.size()) {
        names.push_back(NextCommaItem(list, pos));
    }
    return names;
}

void AddLine(std::string& text, const std::string& line) {
    text += line;
    text += kCrLf;
}

void AddKey(std::string& text, const char* key, const std::string& value) {
    text += key;
    text += '=';
    AddLine(text, value);
}

std::string TableSection(const std::string& tableName) {
    return "Table " + tableName;
}

std::string FieldSection(const std::string& tableName, const std::string& fieldName) {
    return "Field " + tableName + "." + fieldName;
}

// Why the reader would not give `text` back, or null. A line break ends the line that holds it;
// the names of tables and columns are also items of a comma list ("Tables", "Fields"), where a
// comma splits them and an empty last item is lost.
const char* Unsavable(const std::string& text, bool listed) {
    if (text.find_first_of("\r\n") != std::string::npos) {
        return "holds a line break";
    }
    if (listed && text.find(',') != std::string::npos) {
        return "holds a comma";
    }
    if (listed && text.empty()) {
        return "is empty";
    }
    return nullptr;
}

std::string Quoted(const std::string& name) {
    return "\"" + PrintableText(name) + "\"";
}

std::string TableText(const TFillTable& table) {
    return "table " + Quoted(table.TableName());
}

std::string ColumnText(const TFillTable& table, const TFillField& field) {
    return "column " + Quoted(field.FieldName()) + " of " + TableText(table);
}

[[noreturn]] void RefuseSave(const std::string& what, const std::string& why) {
    throw Exception("The scenario cannot be saved: the " + what + " " + why);
}

void CheckSavable(const std::string& text, bool listed, const std::function<std::string()>& what) {
    if (const char* why = Unsavable(text, listed)) {
        RefuseSave(what(), why);
    }
}

// The sections of a file, so that two settings that would be read back from one section are
// found: a name holding "." can make a column's section that of another table's column, and a
// table listed twice reads both times the first of its sections.
class SectionNames {
public:
    void Add(const std::string& name, std::string_view body, const std::string& owner) {
        const auto [found, added] = sections_.emplace(name, Section{std::string(body), owner});
        if (!added && found->second.body != body) {
            RefuseSave(owner, "would be read back with the settings of the " + found->second.owner +
                                  ": both are kept in the section [" + PrintableText(name) + "]");
        }
    }

private:
    struct Section {
        std::string body;
        std::string owner;
    };
    std::unordered_map<std::string, Section> sections_;
};

// Refuses, naming the table or column, what the reader would not give back as it is.
std::string ScenarioText(const TFillScenario& scenario) {
    CheckSavable(scenario.AliasName(), false, [] { return std::string("alias name"); });
    std::string text;
    AddLine(text, "[Main]");
    AddKey(text, "AliasName", scenario.AliasName());
    AddKey(text, "Tables",
           JoinNames(scenario.Tables(), [](const TFillTable& t) { return t.TableName(); }));
    AddLine(text, "");
    SectionNames sections;
    for (int i = 0; i < scenario.Tables().Count(); ++i) {
        const TFillTable& table = scenario.Tables().Items(i);
        CheckSavable(table.TableName(), true, [&] { return TableText(table) + "'s name"; });
        const std::size_t tableStart = text.size();
        AddLine(text, "[" + TableSection(table.TableName()) + "]");
        AddKey(text, "FieldMethod", IntToStr(table.TableFillMethod()));
        AddKey(text, "RecCount", IntToStr(table.RecCount()));
        AddKey(text, "Fields",
               JoinNames(table.Fields(), [](const TFillField& f) { return f.FieldName(); }));
        AddLine(text, "");
        sections.Add(TableSection(table.TableName()), std::string_view(text).substr(tableStart),
                     TableText(table));
        for (int j = 0; j < table.Fields().Count(); ++j) {
            const TFillField& field = table.Fields().Items(j);
            CheckSavable(field.FieldName(), true,
                         [&] { return ColumnText(table, field) + "'s name"; });
            CheckSavable(field.FillValue(), false,
                         [&] { return "fill value of " + ColumnText(table, field); });
            CheckSavable(field.NullShare(), false,
                         [&] { return "NULL share of " + ColumnText(table, field); });
            const std::string section = FieldSection(table.TableName(), field.FieldName());
            const std::size_t fieldStart = text.size();
            AddLine(text, "[" + section + "]");
            AddKey(text, "FillMethod", IntToStr(field.FillMethod()));
            AddKey(text, "FillValue", field.FillValue());
            // Written only when set, so a scenario that uses neither reads back byte for byte.
            if (!field.NullShare().empty()) {
                AddKey(text, "NullShare", field.NullShare());
            }
            if (field.Unique()) {
                AddKey(text, "Unique", "1");
            }
            AddLine(text, "");
            sections.Add(section, std::string_view(text).substr(fieldStart),
                         ColumnText(table, field));
        }
    }
    return text;
}

// The number a key of the file holds. One that is not a number keeps the conversion's message
// and gets a second line saying where it stands, since a large file has many.
std::int32_t ReadInteger(const IniFile& ini, const std::string& fileName,
                         const std::string& section, const char* key) {
    const std::string value = ini.Value(section, key);
    try {
        return StrToInt(value);
    } catch (const EConvertError& error) {
        std::string where = fileName.empty() ? "in" : "in " + fileName + ",";
        throw EConvertError(std::string(error.what()) + "\n" + where + " section [" + section +
                            "], key " + key);
    }
}

}  // namespace

int TFillScenario::FindTable(const std::string& name) const {
    for (int i = 0; i < tables_.Count(); ++i) {
        if (tables_.Items(i).TableName() == name) {
            return i;
        }
    }
    return -1;
}

int TFillScenario::AddTable(const std::string& name) {
    return tables_.Add(std::make_unique<TFillTable>(name));
}

void TFillScenario::SaveToFile(const std::string& fileName) const {
    ReplaceFile(fileName, ScenarioText(*this));
}

std::string TFillScenario::SaveToText() const {
    return ScenarioText(*this);
}

void TFillScenario::LoadFromFile(const std::string& fileName) {
    Load(IniFile::Load(fileName), fileName);
}

void TFillScenario::LoadFromText(const std::string& text) {
    Load(IniFile::Parse(text), "");
}

void TFillScenario::Load(const IniFile& ini, const std::string& fileName) {
    // An empty value counts as absent, as for every key below.
    aliasName_ = ini.Value("Main", "AliasName");
    for (const std::string& tableName : SplitNames(ini.Value("Main", "Tables"))) {
        TFillTable& table = tables_.Items(AddTable(tableName));
        const std::string section = TableSection(tableName);
        if (!ini.Value(section, "FieldMethod").empty()) {
            table.SetTableFillMethod(ReadInteger(ini, fileName, section, "FieldMethod"));
        }
        if (!ini.Value(section, "RecCount").empty()) {
            table.SetRecCount(ReadInteger(ini, fileName, section, "RecCount"));
        }
        const std::optional<std::string> fieldList = ini.Find(section, "Fields");
        table.SetFieldListMissing(!fieldList);
        for (const std::string& fieldName : SplitNames(fieldList.value_or(""))) {
            TFillField& field = table.Fields().Items(table.AddField(fieldName));
            const std::string fieldSection = FieldSection(tableName, fieldName);
            // An absent method is the empty text, which the conversion refuses.
            field.SetFillMethod(ReadInteger(ini, fileName, fieldSection, "FillMethod"));
            field.SetFillValue(ini.Value(fieldSection, "FillValue"));
            // The check refuses a share that is no number or lies outside 0 to 100.
            field.SetNullShare(ini.Value(fieldSection, "NullShare"));
            if (!ini.Value(fieldSection, "Unique").empty()) {
                field.SetUnique(ReadInteger(ini, fileName, fieldSection, "Unique") != 0);
            }
        }
    }
}

}  // namespace rowsmith
