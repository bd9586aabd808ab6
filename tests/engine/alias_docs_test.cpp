// The alias guide (docs/aliases.md) and the in-app help page list, for each driver, exactly the
// keys that driver reads, so that a key added to the code cannot go undocumented.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/alias_keys.h"
#include "temp_dir.h"

namespace rowsmith::test {
namespace {

struct DriverSection {
    const char* markdownHeading;
    const char* htmlHeading;
    unsigned driver;
};

const DriverSection kSections[] = {
    {"## SQLite", "<h2>SQLite</h2>", kAliasSqlite},
    {"## PostgreSQL", "<h2>PostgreSQL</h2>", kAliasPostgres},
    {"## MariaDB and MySQL", "<h2>MariaDB and MySQL</h2>", kAliasMariaDb},
};

std::set<std::string> KeysOf(unsigned driver) {
    std::set<std::string> keys;
    for (const AliasKey& key : AliasKeys()) {
        if ((key.drivers & driver) != 0) {
            keys.insert(key.name);
        }
    }
    return keys;
}

// The first cell of each row of the first table after `heading`, where the cell is code
// between `open` and `close`.
std::set<std::string> FirstColumn(const std::string& text, const std::string& heading,
                                  const std::string& rowStart, const std::string& open,
                                  const std::string& close, const std::string& tableEnd) {
    std::set<std::string> cells;
    std::size_t at = text.find(heading);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no heading " << heading;
        return cells;
    }
    at = text.find(rowStart, at);
    const std::size_t end = text.find(tableEnd, at);
    while (at != std::string::npos && at < end) {
        const std::size_t from = at + rowStart.size();
        if (text.compare(from, open.size(), open) == 0) {
            const std::size_t stop = text.find(close, from + open.size());
            cells.insert(text.substr(from + open.size(), stop - from - open.size()));
        }
        at = text.find(rowStart, from);
    }
    return cells;
}

TEST(AliasDocsTest, GuideAndHelpListEveryDriversKeys) {
    const std::string guide = ReadFile(ROWSMITH_DOCS_DIR "/aliases.md");
    const std::string help = ReadFile(ROWSMITH_DOCS_DIR "/help/aliases.html");
    for (const DriverSection& section : kSections) {
        SCOPED_TRACE(section.markdownHeading);
        // A Markdown table ends at the first blank line.
        EXPECT_EQ(FirstColumn(guide, std::string(section.markdownHeading) + "\n", "\n| ", "`", "`",
                              "\n\n"),
                  KeysOf(section.driver));
        EXPECT_EQ(
            FirstColumn(help, section.htmlHeading, "<tr><td>", "<code>", "</code>", "</table>"),
            KeysOf(section.driver));
    }
}

}  // namespace
}  // namespace rowsmith::test
