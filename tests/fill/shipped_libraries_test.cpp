// The libraries that ship with the program: each loads, holds at least what its users count on,
// says in its first line what it holds, and has no value twice.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "fill/library_finder.h"
#include "fill/value_library.h"
#include "temp_dir.h"

namespace rowsmith {
namespace {

struct Shipped {
    const char* name;
    std::size_t minimum;
};

const Shipped kShipped[] = {
    {"cities", 500},        {"colors", 30},          {"company-names", 500}, {"countries", 249},
    {"country-codes", 249}, {"currency-codes", 150}, {"departments", 20},    {"email-domains", 10},
    {"first-names", 1000},  {"job-titles", 200},     {"last-names", 1000},   {"product-names", 500},
    {"street-names", 300},  {"words", 1000},
};

ValueLibrary LoadShipped(const std::string& name) {
    return ValueLibrary::Load(LibraryFinder("", ROWSMITH_LIBRARIES_FOLDER).Find(name, ""), name);
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(ShippedLibrariesTest, EachLoadsWithItsHeaderItsSizeAndNoValueTwice) {
    for (const Shipped& shipped : kShipped) {
        SCOPED_TRACE(shipped.name);
        const ValueLibrary library = LoadShipped(shipped.name);
        EXPECT_GE(library.Count(), shipped.minimum);
        const std::string path =
            std::string(ROWSMITH_LIBRARIES_FOLDER) + "/" + shipped.name + ".txt";
        EXPECT_EQ(test::ReadFile(path).substr(0, 2), "# ");
        EXPECT_FALSE(library.Description().empty());
        std::set<std::string_view> seen;
        for (std::size_t i = 0; i < library.Count(); ++i) {
            EXPECT_TRUE(seen.insert(library.Value(i)).second) << library.Value(i);
            EXPECT_FALSE(library.Value(i).empty());
            EXPECT_EQ(library.Value(i).find('\t'), std::string_view::npos);
            EXPECT_NE(library.Value(i).front(), ' ');
            EXPECT_NE(library.Value(i).back(), ' ');
        }
    }
}

TEST(ShippedLibrariesTest, NothingShipsThatIsNotListedHere) {
    std::set<std::string> listed;
    for (const Shipped& shipped : kShipped) {
        listed.insert(shipped.name);
    }
    std::set<std::string> found;
    for (const auto& entry : LibraryFinder("", ROWSMITH_LIBRARIES_FOLDER).List()) {
        found.insert(entry.name);
    }
    EXPECT_EQ(found, listed);
}

TEST(ShippedLibrariesTest, MailGoesOnlyToTheReservedExampleDomains) {
    const ValueLibrary domains = LoadShipped("email-domains");
    for (std::size_t i = 0; i < domains.Count(); ++i) {
        const std::string domain(domains.Value(i));
        bool reserved = false;
        for (const std::string base : {"example.com", "example.net", "example.org"}) {
            reserved = reserved || domain == base || EndsWith(domain, "." + base);
        }
        EXPECT_TRUE(reserved) << domain;
        EXPECT_EQ(domain.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789.-"),
                  std::string::npos)
            << domain;
    }
}

TEST(ShippedLibrariesTest, CodesAreTheirStandardsShapeAndEveryCountryHasOne) {
    const ValueLibrary countries = LoadShipped("countries");
    const ValueLibrary codes = LoadShipped("country-codes");
    EXPECT_EQ(countries.Count(), codes.Count());
    const ValueLibrary currencies = LoadShipped("currency-codes");
    for (const auto* library : {&codes, &currencies}) {
        const std::size_t length = library == &codes ? 2 : 3;
        for (std::size_t i = 0; i < library->Count(); ++i) {
            const std::string_view code = library->Value(i);
            EXPECT_EQ(code.size(), length) << code;
            EXPECT_EQ(code.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos)
                << code;
        }
    }
}

}  // namespace
}  // namespace rowsmith
