#include "fill/draft/column_kind.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <string_view>

namespace rowsmith {

namespace {

bool IsLower(char c) {
    return std::islower(static_cast<unsigned char>(c)) != 0;
}
bool IsUpper(char c) {
    return std::isupper(static_cast<unsigned char>(c)) != 0;
}
bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

using Words = std::vector<std::string>;
using Names = std::initializer_list<std::string_view>;

bool OneOf(std::string_view text, Names names) {
    return std::find(names.begin(), names.end(), text) != names.end();
}

bool AnyWord(const Words& words, Names names) {
    return std::any_of(words.begin(), words.end(),
                       [&](const std::string& word) { return OneOf(word, names); });
}

// Whether a word of the table's name starts with one of `stems`: "customers" and "customer_list"
// both start with "customer".
bool TableIs(const Words& table, Names stems) {
    return std::any_of(table.begin(), table.end(), [&](const std::string& word) {
        return std::any_of(stems.begin(), stems.end(),
                           [&](std::string_view stem) { return word.starts_with(stem); });
    });
}

bool PersonTable(const Words& table) {
    return TableIs(table, {"customer", "client", "employee", "staff", "person", "people", "user",
                           "member", "contact", "author", "student", "patient", "account"});
}

// A column called just "name" or "title": its table tells what it names.
ColumnKind NameByTable(const Words& table, bool title) {
    if (title) {
        return PersonTable(table) ? ColumnKind::JobTitle : ColumnKind::Label;
    }
    if (TableIs(table, {"product", "item", "article", "part", "good"})) {
        return ColumnKind::Product;
    }
    if (TableIs(table, {"supplier", "vendor", "compan", "manufacturer", "brand", "publisher",
                        "organi", "firm"})) {
        return ColumnKind::Company;
    }
    if (PersonTable(table)) {
        return ColumnKind::FullName;
    }
    if (TableIs(table, {"cit", "town"})) {
        return ColumnKind::City;
    }
    if (TableIs(table, {"countr"})) {
        return ColumnKind::Country;
    }
    if (TableIs(table, {"department"})) {
        return ColumnKind::Department;
    }
    return ColumnKind::Label;
}

// "customer_name", "ContactName": a name of the kind its first words say.
ColumnKind QualifiedName(const Words& words, const Words& table) {
    const Words front(words.begin(), words.end() - 1);
    if (AnyWord(front, {"first", "given", "fore"})) {
        return ColumnKind::FirstName;
    }
    if (AnyWord(front, {"last", "family", "sur"})) {
        return ColumnKind::LastName;
    }
    if (AnyWord(front, {"company", "supplier", "vendor", "firm", "business", "organisation",
                        "organization", "brand"})) {
        return ColumnKind::Company;
    }
    if (AnyWord(front, {"product", "item", "article", "part"})) {
        return ColumnKind::Product;
    }
    if (AnyWord(front, {"city", "town"})) {
        return ColumnKind::City;
    }
    if (AnyWord(front, {"country"})) {
        return ColumnKind::Country;
    }
    if (AnyWord(front, {"street"})) {
        return ColumnKind::Street;
    }
    if (AnyWord(front, {"department", "dept"})) {
        return ColumnKind::Department;
    }
    if (AnyWord(front, {"user", "login", "account"})) {
        return ColumnKind::UserName;
    }
    if (AnyWord(front, {"full", "display", "contact", "customer", "client", "employee", "person",
                        "member", "author"})) {
        return ColumnKind::FullName;
    }
    return NameByTable(table, false);
}

ColumnKind PersonOrPlace(const Words& words, const std::string& joined, const Words& table) {
    if (OneOf(joined, {"firstname", "fname", "givenname", "forename", "first"})) {
        return ColumnKind::FirstName;
    }
    if (OneOf(joined, {"lastname", "lname", "surname", "familyname", "last"})) {
        return ColumnKind::LastName;
    }
    if (OneOf(joined, {"fullname", "contact", "displayname"})) {
        return ColumnKind::FullName;
    }
    if (AnyWord(words, {"country"}) && AnyWord(words, {"code", "iso", "iso2"})) {
        return ColumnKind::CountryCode;
    }
    if (words.size() > 1 && words.back() == "name") {
        return QualifiedName(words, table);
    }
    if (joined == "name" || joined == "title") {
        return NameByTable(table, joined == "title");
    }
    if (AnyWord(words, {"country", "nation"})) {
        return ColumnKind::Country;
    }
    if (AnyWord(words, {"city", "town"})) {
        return ColumnKind::City;
    }
    if (AnyWord(words, {"postal", "postcode", "zip", "zipcode"})) {
        return ColumnKind::PostalCode;
    }
    if (AnyWord(words, {"street", "address", "addr", "addressline"})) {
        return ColumnKind::Street;
    }
    return ColumnKind::Other;
}

ColumnKind Work(const Words& words, const std::string& joined) {
    if (AnyWord(words, {"company", "employer", "firm", "business", "supplier", "vendor"})) {
        return ColumnKind::Company;
    }
    if (joined == "jobtitle" || AnyWord(words, {"job", "position", "role", "occupation"})) {
        return ColumnKind::JobTitle;
    }
    if (AnyWord(words, {"department", "dept", "division"})) {
        return ColumnKind::Department;
    }
    if (AnyWord(words, {"product"})) {
        return ColumnKind::Product;
    }
    if (AnyWord(words, {"colour", "color"})) {
        return ColumnKind::Colour;
    }
    if (AnyWord(words, {"url", "website", "homepage", "web", "link"})) {
        return ColumnKind::Url;
    }
    if (AnyWord(words, {"username", "login", "nickname", "handle"})) {
        return ColumnKind::UserName;
    }
    if (AnyWord(words,
                {"description", "desc", "notes", "note", "comment", "comments", "remarks", "remark",
                 "memo", "details", "bio", "about", "summary", "message", "body", "text"})) {
        return ColumnKind::LongText;
    }
    if (AnyWord(words, {"sku", "code", "ref", "reference", "tracking", "serial", "barcode", "ean",
                        "isbn", "voucher", "number", "no", "num"})) {
        return ColumnKind::Code;
    }
    return ColumnKind::Other;
}

ColumnKind Measure(const Words& words, const std::string& joined) {
    if (AnyWord(words, {"salary", "wage", "wages", "income", "pay"})) {
        return ColumnKind::Salary;
    }
    if (AnyWord(words, {"price", "cost", "fee", "charge"})) {
        return ColumnKind::Price;
    }
    if (AnyWord(words, {"amount", "total", "balance", "sum", "limit", "credit", "budget", "revenue",
                        "subtotal"})) {
        return ColumnKind::Amount;
    }
    if (joined == "onhand" || AnyWord(words, {"quantity", "qty", "count", "stock", "units"})) {
        return ColumnKind::Quantity;
    }
    if (AnyWord(words, {"discount", "percent", "percentage", "pct"})) {
        return ColumnKind::Percent;
    }
    if (AnyWord(words, {"rating", "stars", "score"})) {
        return ColumnKind::Rating;
    }
    if (AnyWord(words, {"weight", "mass"})) {
        return ColumnKind::Weight;
    }
    if (AnyWord(words, {"age"})) {
        return ColumnKind::Age;
    }
    if (AnyWord(words, {"points", "loyalty"})) {
        return ColumnKind::Points;
    }
    return ColumnKind::Other;
}

ColumnKind When(const Words& words, const std::string& joined) {
    if (joined == "dob" || AnyWord(words, {"birth", "born", "birthday", "birthdate"})) {
        return ColumnKind::BirthDate;
    }
    if (AnyWord(words, {"until", "expires", "expiry", "expiration", "due", "end", "ends",
                        "deadline", "to"})) {
        return ColumnKind::FutureDate;
    }
    return ColumnKind::Other;
}

}  // namespace

std::vector<std::string> NameWords(const std::string& name) {
    Words words;
    std::string word;
    const auto end = [&] {
        if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    };
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (!IsLower(c) && !IsUpper(c) && !IsDigit(c)) {
            end();
            continue;
        }
        const char before = i > 0 ? name[i - 1] : '\0';
        const char after = i + 1 < name.size() ? name[i + 1] : '\0';
        // A capital starts a word after a small letter, and ends a run of capitals when a small
        // letter follows it ("URLPath"); digits stand apart from letters.
        if ((IsUpper(c) && (IsLower(before) || (IsUpper(before) && IsLower(after)))) ||
            (IsDigit(c) != IsDigit(before) && i > 0)) {
            end();
        }
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    end();
    return words;
}

ColumnKind KindOfColumn(const std::string& table, const std::string& column) {
    const Words words = NameWords(column);
    std::string joined;
    for (const std::string& word : words) {
        joined += word;
    }
    if (joined.find("email") != std::string::npos || AnyWord(words, {"mail"})) {
        return ColumnKind::Email;
    }
    if (joined.find("phone") != std::string::npos ||
        AnyWord(words, {"tel", "mobile", "cell", "fax"})) {
        return ColumnKind::Phone;
    }
    if (const ColumnKind kind = PersonOrPlace(words, joined, NameWords(table));
        kind != ColumnKind::Other) {
        return kind;
    }
    for (const auto rule : {Work, Measure, When}) {
        if (const ColumnKind kind = rule(words, joined); kind != ColumnKind::Other) {
            return kind;
        }
    }
    return ColumnKind::Other;
}

}  // namespace rowsmith
