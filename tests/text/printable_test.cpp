#include "text/printable.h"

#include <gtest/gtest.h>

#include <string>

#include "text/errors.h"

namespace rowsmith {
namespace {

using namespace std::string_literals;

TEST(PrintableTest, EscapesControlsAndBytesThatAreNoUtf8) {
    static const struct {
        std::string bytes;
        std::string text;   // PrintableText
        std::string lines;  // PrintableLines
    } cases[] = {
        {"", "", ""},
        {"plain ASCII, \"quoted\" \\ back", "plain ASCII, \"quoted\" \\ back",
         "plain ASCII, \"quoted\" \\ back"},
        {"Größe 日本 😀", "Größe 日本 😀", "Größe 日本 😀"},
        {"a\0b"s, "a\\x00b", "a\\x00b"},
        {"line\nnext\r\n", "line\\x0Anext\\x0D\\x0A", "line\nnext\\x0D\n"},
        {"\x1b[2J\tx\x7f", "\\x1B[2J\\x09x\\x7F", "\\x1B[2J\\x09x\\x7F"},
        // C1 controls (U+009B is the terminal's one-byte escape sequence introducer); U+00A0 is
        // the first character after them.
        {"\xc2\x9b"
         "1m\xc2\xa0",
         "\\xC2\\x9B1m\xc2\xa0", "\\xC2\\x9B1m\xc2\xa0"},
        // A stray continuation byte, a cut sequence, a byte never used in UTF-8.
        {"\x80x\xc3", "\\x80x\\xC3", "\\x80x\\xC3"},
        {"\xe6\x97x\xff\xfe", "\\xE6\\x97x\\xFF\\xFE", "\\xE6\\x97x\\xFF\\xFE"},
        // Overlong forms, a surrogate, a value past U+10FFFF: each byte on its own.
        {"\xc0\xaf\xe0\x80\xaf", "\\xC0\\xAF\\xE0\\x80\\xAF", "\\xC0\\xAF\\xE0\\x80\\xAF"},
        {"\xed\xa0\x80", "\\xED\\xA0\\x80", "\\xED\\xA0\\x80"},
        {"\xf4\x90\x80\x80\xf4\x8f\xbf\xbf", "\\xF4\\x90\\x80\\x80\xf4\x8f\xbf\xbf",
         "\\xF4\\x90\\x80\\x80\xf4\x8f\xbf\xbf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, PrintableText(c.bytes)) << c.bytes;
        EXPECT_EQ(c.lines, PrintableLines(c.bytes)) << c.bytes;
        // Escaping twice changes nothing.
        EXPECT_EQ(c.text, PrintableText(c.text));
        EXPECT_EQ(c.lines, PrintableLines(c.lines));
    }
}

// A message holding a zero byte was cut short there by what(), the one way a handler reads it.
TEST(PrintableTest, ErrorMessagesKeepEveryByteShowable) {
    const Exception error("Unknown database alias 'Te\0st\x1b[31m\xff'\nsecond line"s);
    EXPECT_STREQ("Unknown database alias 'Te\\x00st\\x1B[31m\\xFF'\nsecond line", error.what());
    EXPECT_EQ("'\\xFF' is not a valid integer value",
              std::string(EConvertError("'\xff' is not a valid integer value").what()));
    EXPECT_EQ("bad \\xFE\\x07.", ErrorBoxText("bad \xfe\x07"));
    EXPECT_EQ("quoted \"x\"", ErrorBoxText("quoted \"x\""));
    EXPECT_EQ("accepting connections on that socket?",
              ErrorBoxText("accepting connections on that socket?"));
}

}  // namespace
}  // namespace rowsmith
