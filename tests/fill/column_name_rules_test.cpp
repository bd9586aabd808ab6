// The fill a drafted scenario gives a column, from its name, type, size and keys: one row a column
// of a plausible schema, in the spellings people use, and what it gets when the best choice does
// not fit.
#include "fill/draft/column_name_rules.h"

#include <gtest/gtest.h>

#include "fill/draft/column_kind.h"
#include "model/fill_methods.h"

namespace rowsmith {
namespace {

struct Case {
    const char* table;
    const char* column;
    TFieldType type;
    int size;
    // "N" NOT NULL, "D" a default, "U" unique alone, "F" a reference to customers.id.
    const char* flags;
    std::int32_t method;
    const char* value;
    bool unique;
    const char* nullShare;
};

ColumnFacts Facts(const Case& c, std::vector<std::string> columns = {}) {
    const std::string flags = c.flags;
    ColumnFacts facts;
    facts.table = c.table;
    facts.name = c.column;
    facts.type = c.type;
    facts.size = c.size;
    facts.notNull = flags.find('N') != std::string::npos;
    facts.hasDefault = flags.find('D') != std::string::npos;
    facts.unique = flags.find('U') != std::string::npos;
    facts.master = flags.find('F') != std::string::npos ? "customers.id" : "";
    facts.tableColumns = std::move(columns);
    return facts;
}

bool AcceptAll(const FillChoice&) {
    return true;
}

// clang-format off
const Case kCases[] = {
    // Keys: the engine's own numbers are left to it, other whole-number keys counted up.
    {"orders", "id", ftAutoInc, 0, "NDU", fmDontFill, "", false, ""},
    {"orders", "OrderNo", ftInteger, 0, "NDU", fmDontFill, "", false, ""},
    {"orders", "OrderNo", ftInteger, 0, "NU", fmAutoIncrement, "", true, ""},
    {"orders", "customer_id", ftInteger, 0, "NF", fmMasterRandom, "customers.id", false, ""},
    {"orders", "CustNo", ftInteger, 0, "F", fmMasterRandom, "customers.id", false, ""},
    // People.
    {"customers", "first_name", ftString, 30, "N", fmLibrary, "first-names", false, ""},
    {"customers", "FirstName", ftString, 30, "", fmLibrary, "first-names", false, ""},
    {"customers", "fname", ftString, 30, "", fmLibrary, "first-names", false, ""},
    {"customers", "GIVEN_NAME", ftString, 30, "", fmLibrary, "first-names", false, ""},
    {"customers", "last_name", ftString, 40, "N", fmLibrary, "last-names", false, ""},
    {"customers", "Surname", ftString, 40, "", fmLibrary, "last-names", false, ""},
    {"customers", "lname", ftString, 40, "", fmLibrary, "last-names", false, ""},
    {"customers", "full_name", ftString, 60, "", fmPattern, "{first-names} {last-names}", false, ""},
    {"customers", "ContactName", ftString, 60, "", fmPattern, "{first-names} {last-names}", false, ""},
    {"customers", "name", ftString, 60, "", fmPattern, "{first-names} {last-names}", false, ""},
    {"customers", "e_mail", ftString, 80, "NU", fmPattern, "{words}.{words}@{email-domains}", true, ""},
    {"customers", "phone", ftString, 20, "", fmPattern, "+## ## ### ####", false, "10"},
    {"customers", "MobilePhone", ftString, 20, "N", fmPattern, "+## ## ### ####", false, ""},
    {"employees", "job_title", ftString, 60, "", fmLibrary, "job-titles", false, ""},
    {"employees", "title", ftString, 60, "", fmLibrary, "job-titles", false, ""},
    {"employees", "Dept", ftString, 40, "", fmLibrary, "departments", false, ""},
    {"users", "username", ftString, 30, "NU", fmPattern, "{first-names|lower|ascii}##", true, ""},
    // Places.
    {"addresses", "street", ftString, 80, "N", fmPattern, "# {street-names}", false, ""},
    {"addresses", "AddressLine1", ftString, 80, "", fmPattern, "# {street-names}", false, ""},
    {"addresses", "city", ftString, 50, "", fmLibrary, "cities", false, ""},
    {"addresses", "Country", ftString, 60, "", fmLibrary, "countries", false, ""},
    {"addresses", "country_code", ftString, 2, "", fmLibrary, "country-codes", false, ""},
    {"addresses", "CountryISO", ftString, 2, "", fmLibrary, "country-codes", false, ""},
    {"addresses", "zip", ftString, 10, "", fmPattern, "#####", false, ""},
    // Things and their words.
    {"suppliers", "company_name", ftString, 60, "NU", fmLibrary, "company-names", true, ""},
    {"suppliers", "name", ftString, 60, "", fmLibrary, "company-names", false, ""},
    {"products", "name", ftString, 60, "N", fmLibrary, "product-names", false, ""},
    {"order_lines", "ProductName", ftString, 60, "", fmLibrary, "product-names", false, ""},
    {"products", "colour", ftString, 20, "", fmLibrary, "colors", false, ""},
    {"products", "Color", ftString, 20, "", fmLibrary, "colors", false, ""},
    {"products", "sku", ftString, 12, "NU", fmPattern, "???" "-#####", true, ""},
    {"warehouses", "code", ftString, 8, "NU", fmPattern, "??" "-####", true, ""},
    {"categories", "name", ftString, 40, "NU", fmPattern, "{words} {words}", true, ""},
    {"products", "description", ftMemo, 0, "", fmPattern,
     "{words} {words} {words} {words} {words} {words} {words} {words}", false, "20"},
    {"orders", "Notes", ftMemo, 0, "", fmPattern,
     "{words} {words} {words} {words} {words} {words} {words} {words}", false, "20"},
    {"suppliers", "website", ftString, 80, "", fmPattern, "https://www.{words}.example.com", false, ""},
    // Numbers by what they count.
    {"products", "unit_price", ftFloat, 0, "N", fmRandomReal, "1 - 500", false, ""},
    {"parts", "ListPrice", ftCurrency, 0, "", fmRandomReal, "1 - 500", false, ""},
    {"orders", "total_amount", ftFloat, 0, "N", fmRandomReal, "1 - 2000", false, ""},
    // A range writes nothing into a decimal column: digits in a pattern, never all zeros.
    {"products", "unit_price", ftBCD, 0, "N", fmPattern, "##9", false, ""},
    {"orders", "total_amount", ftBCD, 0, "N", fmPattern, "###9", false, ""},
    {"employees", "salary", ftBCD, 0, "N", fmPattern, "#9##", false, ""},
    {"reviews", "stars", ftBCD, 0, "N", fmRandomFromSet, "1,2,3,4,5", false, ""},
    {"stats", "ratio", ftBCD, 0, "", fmPattern, "##9", false, ""},
    {"employees", "Salary", ftCurrency, 0, "", fmRandomReal, "1500 - 9000", false, ""},
    {"order_items", "quantity", ftInteger, 0, "N", fmRandomInteger, "1 - 20", false, ""},
    {"items", "Qty", ftSmallint, 0, "N", fmRandomInteger, "1 - 20", false, ""},
    {"parts", "OnHand", ftSmallint, 0, "", fmRandomInteger, "1 - 20", false, ""},
    {"reviews", "rating", ftSmallint, 0, "N", fmRandomInteger, "1 - 5", false, ""},
    {"coupons", "discount_percent", ftInteger, 0, "N", fmRandomInteger, "1 - 50", false, ""},
    {"products", "weight_kg", ftFloat, 0, "", fmRandomReal, "1 - 25", false, ""},
    // Dates by when they fall.
    {"customers", "birth_date", ftDate, 0, "", fmDateRange, "1940-01-01 - today-18y", false, ""},
    {"customers", "DOB", ftDate, 0, "", fmDateRange, "1940-01-01 - today-18y", false, ""},
    {"coupons", "valid_until", ftDate, 0, "N", fmDateRange, "today+1d - today+1y", false, ""},
    {"tasks", "DueDate", ftDateTime, 0, "", fmDateRange, "now+1h - now+1y", false, ""},
    {"orders", "created_at", ftDateTime, 0, "N", fmDateRange, "now-3y - now", false, ""},
    {"employees", "HireDate", ftDate, 0, "", fmDateRange, "today-3y - today", false, ""},
    {"shifts", "StartTime", ftTime, 0, "", fmDateRange, "08:00:00 - 18:00:00", false, ""},
    // Names that tell nothing: values of the type.
    {"orders", "ShipVia", ftString, 7, "", fmPattern, "{words} {words} {words}", false, ""},
    {"orders", "Paid", ftBoolean, 0, "N", fmRandomFromSet, "True,False", false, ""},
    {"stats", "hits", ftInteger, 0, "", fmRandomInteger, "1 - 1000", false, ""},
    {"stats", "ratio", ftFloat, 0, "", fmRandomReal, "0 - 1000", false, ""},
    // A whole-number column named like a text keeps numbers of its type.
    {"addresses", "zip", ftInteger, 0, "", fmRandomInteger, "1 - 1000", false, ""},
    {"files", "content", ftBlob, 0, "", fmDontFill, "", false, ""},
};
// clang-format on

TEST(ColumnNameRules, EachColumnGetsWhatItsNameTypeAndKeysSay) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.table) + "." + c.column);
        const FillChoice choice = ChooseColumnFill(Facts(c), AcceptAll);
        EXPECT_EQ(choice.method, c.method);
        EXPECT_EQ(choice.value, c.value);
        EXPECT_EQ(choice.unique, c.unique);
        EXPECT_EQ(choice.nullShare, c.nullShare);
    }
}

TEST(ColumnNameRules, AnEmailIsMadeFromTheNamesOfTheSameRecordWhenTheTableHasThem) {
    const Case email{"employees", "Email", ftString, 100, "NU", 0, "", true, ""};
    const FillChoice choice =
        ChooseColumnFill(Facts(email, {"EmpNo", "FirstName", "LastName", "Email"}), AcceptAll);
    EXPECT_EQ(choice.method, fmPattern);
    EXPECT_EQ(choice.value, "{FirstName|lower|ascii}.{LastName|lower|ascii}@{email-domains}");
    EXPECT_TRUE(choice.unique);
}

TEST(ColumnNameRules, WhatDoesNotFitGivesWayToTheNextCandidateAndLastToValuesOfTheType) {
    const Case contact{"customers", "Contact", ftString, 25, "", 0, "", false, ""};
    const FillChoice initial = ChooseColumnFill(Facts(contact), [](const FillChoice& choice) {
        return choice.value != "{first-names} {last-names}";
    });
    EXPECT_EQ(initial.value, "{first-names} {last-names|first}.");

    // Nothing fits: the letters the column keeps, never empty, so NOT NULL holds.
    const Case code{"gates", "Gate", ftString, 3, "N", 0, "", false, ""};
    const FillChoice letters =
        ChooseColumnFill(Facts(code), [](const FillChoice&) { return false; });
    EXPECT_EQ(letters.method, fmPattern);
    EXPECT_EQ(letters.value, "???");
    EXPECT_TRUE(letters.nullShare.empty());
}

TEST(ColumnNameRules, NameWordsSplitEverySpelling) {
    EXPECT_EQ(NameWords("first_name"), (std::vector<std::string>{"first", "name"}));
    EXPECT_EQ(NameWords("FirstName"), (std::vector<std::string>{"first", "name"}));
    EXPECT_EQ(NameWords("FIRST NAME"), (std::vector<std::string>{"first", "name"}));
    EXPECT_EQ(NameWords("URLPath"), (std::vector<std::string>{"url", "path"}));
    EXPECT_EQ(NameWords("address1"), (std::vector<std::string>{"address", "1"}));
    EXPECT_EQ(NameWords("e-mail"), (std::vector<std::string>{"e", "mail"}));
    EXPECT_TRUE(NameWords("__").empty());
}

}  // namespace
}  // namespace rowsmith
