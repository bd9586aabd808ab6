// CliFixture: a database of one engine in a temporary folder and rowsmith-fill run on it as a
// program, for the command line's tests.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine_param_test.h"
#include "temp_dir.h"
#include "test_database.h"

namespace rowsmith::test {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;

    std::string LastErrorLine() const {
        std::string text = err;
        while (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        return text.substr(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
    }
};

class CliFixture : public EngineParamTest {
protected:
    CliFixture() : db(GetParam()) {}

    // Runs rowsmith-fill in the database's folder with `args` (shell words), stdin from
    // /dev/null, and the user's data and configuration folders pointed into the temporary folder.
    RunResult Run(const std::string& args) {
        const std::string out = db.Folder().File("stdout.txt");
        const std::string err = db.Folder().File("stderr.txt");
        const std::string command = "cd '" + db.Folder().Path() + "' && XDG_DATA_HOME='" +
                                    db.Folder().Path() + "' XDG_CONFIG_HOME='" +
                                    db.Folder().Path() + "' '" ROWSMITH_FILL_PATH "' " + args +
                                    " >'" + out + "' 2>'" + err + "' </dev/null";
        const int raw = std::system(command.c_str());
        RunResult result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = ReadFile(out);
        result.err = ReadFile(err);
        return result;
    }

    std::string Aliases() const { return "--aliases '" + db.ConfigFile() + "'"; }

    // A scenario of one table whose columns are given as name, method and value.
    std::string WriteScenario(const std::string& table, int tableMethod, int recCount,
                              const std::vector<std::vector<std::string>>& fields) {
        std::ostringstream text;
        text << "[Main]\r\nAliasName=" << db.Alias() << "\r\nTables=" << table << "\r\n\r\n";
        text << "[Table " << table << "]\r\nFieldMethod=" << tableMethod
             << "\r\nRecCount=" << recCount << "\r\nFields=";
        for (std::size_t i = 0; i < fields.size(); ++i) {
            text << (i > 0 ? "," : "") << fields[i][0];
        }
        text << "\r\n\r\n";
        for (const auto& field : fields) {
            text << "[Field " << table << "." << field[0] << "]\r\nFillMethod=" << field[1]
                 << "\r\nFillValue=" << field[2] << "\r\n\r\n";
        }
        const std::string path = db.Folder().File("scenario.scn");
        WriteFile(path, text.str());
        return path;
    }

    std::vector<std::string> Column(const std::string& sql) {
        std::vector<std::string> values;
        for (const auto& row : db.Query(sql)) {
            values.push_back(row[0]);
        }
        return values;
    }

    TestDatabase db;
};

}  // namespace rowsmith::test
