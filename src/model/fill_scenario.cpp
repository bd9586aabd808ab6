#include "model/fill_scenario.h"

#include <memory>

#include "model/comma_items.h"
#include "model/replace_file.h"
#include "text/conversions.h"
#include "text/ini_file.h"

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

std::string ScenarioText(const TFillScenario& scenario) {
    std::string text;
    AddLine(text, "[Main]");
    AddKey(text, "AliasName", scenario.AliasName());
    AddKey(text, "Tables",
           JoinNames(scenario.Tables(), [](const TFillTable& t) { return t.TableName(); }));
    AddLine(text, "");
    for (int i = 0; i < scenario.Tables().Count(); ++i) {
        const TFillTable& table = scenario.Tables().Items(i);
        AddLine(text, "[" + TableSection(table.TableName()) + "]");
        AddKey(text, "FieldMethod", IntToStr(table.TableFillMethod()));
        AddKey(text, "RecCount", IntToStr(table.RecCount()));
        AddKey(text, "Fields",
               JoinNames(table.Fields(), [](const TFillField& f) { return f.FieldName(); }));
        AddLine(text, "");
        for (int j = 0; j < table.Fields().Count(); ++j) {
            const TFillField& field = table.Fields().Items(j);
            AddLine(text, "[" + FieldSection(table.TableName(), field.FieldName()) + "]");
            AddKey(text, "FillMethod", IntToStr(field.FillMethod()));
            AddKey(text, "FillValue", field.FillValue());
            AddLine(text, "");
        }
    }
    return text;
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

void TFillScenario::LoadFromFile(const std::string& fileName) {
    const IniFile ini = IniFile::Load(fileName);
    // An empty value counts as absent, as for every key below.
    aliasName_ = ini.Value("Main", "AliasName");
    for (const std::string& tableName : SplitNames(ini.Value("Main", "Tables"))) {
        TFillTable& table = tables_.Items(AddTable(tableName));
        const std::string section = TableSection(tableName);
        if (const std::string method = ini.Value(section, "FieldMethod"); !method.empty()) {
            table.SetTableFillMethod(StrToInt(method));
        }
        if (const std::string count = ini.Value(section, "RecCount"); !count.empty()) {
            table.SetRecCount(StrToInt(count));
        }
        for (const std::string& fieldName : SplitNames(ini.Value(section, "Fields"))) {
            TFillField& field = table.Fields().Items(table.AddField(fieldName));
            const std::string fieldSection = FieldSection(tableName, fieldName);
            // An absent method is the empty text, which the conversion refuses.
            field.SetFillMethod(StrToInt(ini.Value(fieldSection, "FillMethod")));
            field.SetFillValue(ini.Value(fieldSection, "FillValue"));
        }
    }
}

}  // namespace rowsmith
