// Fuzz target: the scenario loader and writer. Any bytes read as a scenario or stop with a
// conversion error; a scenario read is saved, or refused with the reason, and what is saved reads
// back as the same scenario and saves to the same bytes again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/fill_scenario.h"
#include "text/errors.h"

namespace {

using rowsmith::TFillScenario;

std::string Describe(const TFillScenario& scenario) {
    std::string text = scenario.AliasName() + '\n';
    for (int i = 0; i < scenario.Tables().Count(); ++i) {
        const auto& table = scenario.Tables().Items(i);
        text += "T " + table.TableName() + ' ' + std::to_string(table.TableFillMethod()) + ' ' +
                std::to_string(table.RecCount()) + '\n';
        for (int j = 0; j < table.Fields().Count(); ++j) {
            const auto& field = table.Fields().Items(j);
            text += "F " + field.FieldName() + ' ' + std::to_string(field.FillMethod()) + ' ' +
                    field.FillValue() + '\n';
            for (const std::string& item : field.ValueSet()) {
                text += "V " + item + '\n';
            }
        }
    }
    return text;
}

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFillScenario scenario;
    try {
        scenario.LoadFromText(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const rowsmith::EConvertError&) {
        // A bad number stops the reading; what was read so far is still a scenario to save.
    }
    std::string saved;
    try {
        saved = scenario.SaveToText();
    } catch (const rowsmith::Exception& refused) {
        const std::string message = refused.what();
        if (message.rfind("The scenario cannot be saved: the ", 0) != 0) {
            Fail("unexpected refusal", message);
        }
        return 0;
    }
    TFillScenario read;
    try {
        read.LoadFromText(saved);
    } catch (const rowsmith::EConvertError& error) {
        Fail("what was saved does not read", error.what());
    }
    if (Describe(read) != Describe(scenario)) {
        Fail("read back as another scenario", Describe(scenario) + "----\n" + Describe(read));
    }
    if (read.SaveToText() != saved) {
        Fail("saved again as other bytes", saved);
    }
    return 0;
}
