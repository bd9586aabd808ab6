// The fill method registry: the captions and hints the window shows, byte for byte, and which
// codes have a method at all.
#include <gtest/gtest.h>

#include "fill/generators/fill_method_registry.h"
#include "model/fill_field.h"
#include "model/fill_methods.h"

namespace rowsmith::test {
namespace {

TEST(FillMethodRegistryTest, CaptionsAndHintsInCodeOrder) {
    static const struct {
        const char* caption;
        const char* hint;
    } methods[] = {
        {"Don't fill it", "The values of field will not be changed"},
        {"Single value", "All records will have the same value for thid field"},
        {"Random value from a set",
         "The value for this field will be chosed from the set by random way"},
        {"Integer random value from range",
         "This field will be filled by integer random values from the range"},
        {"Real random value from range",
         "This field will be filled by real random values from the range"},
        {"Autoincrement", "Autoincrement from the specified value"},
        {"Random string", "Random string value with defined maximum length"},
        {"The values from the master table", "Take values from the field of another table"},
        {"Date/time random value from range",
         "This field will be filled by random dates or times from the range"},
        {"Random value from a library",
         "The value for this field will be drawn from a library of values"},
        {"Text from a pattern", "This field will be filled by text made from a pattern"},
        {"Random value from the master table",
         "The value for this field will be taken from a random row of another table's field"},
    };
    ASSERT_EQ(FillMethods().size(), std::size(methods));
    for (std::int32_t code = 0; code < static_cast<std::int32_t>(std::size(methods)); ++code) {
        const FillMethodEntry* entry = FindFillMethod(code);
        ASSERT_NE(entry, nullptr) << code;
        EXPECT_EQ(entry->code, code);
        EXPECT_STREQ(entry->caption, methods[code].caption);
        EXPECT_STREQ(entry->hint, methods[code].hint);
    }
}

TEST(FillMethodRegistryTest, OnlyTheListedCodesHaveAMethodAndOnlyDontFillWritesNothing) {
    TFillField setting("x");
    for (std::int32_t code : {-1, static_cast<std::int32_t>(FillMethods().size()), 1000}) {
        setting.SetFillMethod(code);
        EXPECT_EQ(FindFillMethod(code), nullptr) << code;
        EXPECT_FALSE(WritesValues(code)) << code;
        EXPECT_EQ(MakeGenerator(setting), nullptr) << code;
    }
    for (const FillMethodEntry& entry : FillMethods()) {
        setting.SetFillMethod(entry.code);
        EXPECT_EQ(WritesValues(entry.code), entry.code != fmDontFill) << entry.code;
        EXPECT_NE(MakeGenerator(setting), nullptr) << entry.code;
    }
}

}  // namespace
}  // namespace rowsmith::test
