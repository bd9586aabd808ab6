#include "fill/draft/column_name_rules.h"

#include <algorithm>

#include "fill/draft/column_kind.h"
#include "model/fill_methods.h"

namespace rowsmith {

namespace {

using Choices = std::vector<FillChoice>;

FillChoice Fill(std::int32_t method, std::string value = {}) {
    FillChoice choice;
    choice.method = method;
    choice.value = std::move(value);
    return choice;
}

FillChoice Library(const char* name) {
    return Fill(fmLibrary, name);
}

FillChoice Pattern(std::string pattern) {
    return Fill(fmPattern, std::move(pattern));
}

// `count` words of the words library, a blank between each two.
FillChoice Words(int count) {
    std::string pattern = "{words}";
    for (int i = 1; i < count; ++i) {
        pattern += " {words}";
    }
    return Pattern(pattern);
}

// Letters, never the empty text a NOT NULL column refuses, as many as the column keeps up to 8.
FillChoice Letters(int size) {
    return Pattern(std::string(static_cast<std::size_t>(size > 0 ? std::min(size, 8) : 8), '?'));
}

// A code of capitals and digits that the column keeps whole: "KXT-40213" where there is room.
FillChoice Code(int size) {
    // Built from pieces: three question marks and a hyphen in one literal make a trigraph.
    const std::string letters(size == 0 || size >= 9 ? 3 : 2, '?');
    if (size == 0 || size >= 9) {
        return Pattern(letters + "-#####");
    }
    if (size >= 7) {
        return Pattern(letters + "-####");
    }
    return Pattern("?" + std::string(static_cast<std::size_t>(std::max(size - 1, 0)), '#'));
}

// The e-mail address of the person the record names, when the table has both names.
Choices Email(const ColumnFacts& column) {
    std::string first;
    std::string last;
    for (const std::string& name : column.tableColumns) {
        const ColumnKind kind = KindOfColumn(column.table, name);
        if (kind == ColumnKind::FirstName && first.empty()) {
            first = name;
        } else if (kind == ColumnKind::LastName && last.empty()) {
            last = name;
        }
    }
    Choices choices;
    if (!first.empty() && !last.empty()) {
        choices.push_back(
            Pattern("{" + first + "|lower|ascii}.{" + last + "|lower|ascii}@{email-domains}"));
    }
    choices.push_back(Pattern("{words}.{words}@{email-domains}"));
    choices.push_back(Pattern("{words}@{email-domains}"));
    return choices;
}

Choices TextByKind(const ColumnFacts& column, ColumnKind kind) {
    switch (kind) {
        case ColumnKind::FirstName:
            return {Library("first-names")};
        case ColumnKind::LastName:
            return {Library("last-names")};
        case ColumnKind::FullName:
            return {Pattern("{first-names} {last-names}"),
                    Pattern("{first-names} {last-names|first}."), Library("first-names")};
        case ColumnKind::Email:
            return Email(column);
        case ColumnKind::Phone:
            return {Pattern("+## ## ### ####"), Pattern("###-###-####"), Pattern("###-####"),
                    Pattern("####")};
        case ColumnKind::City:
            return {Library("cities")};
        case ColumnKind::Country:
            return {Library("countries"), Library("country-codes")};
        case ColumnKind::CountryCode:
            return {Library("country-codes")};
        case ColumnKind::Street:
            return {Pattern("# {street-names}"), Library("street-names")};
        case ColumnKind::PostalCode:
            return {Pattern("#####"), Pattern("####")};
        case ColumnKind::Company:
            return {Library("company-names")};
        case ColumnKind::JobTitle:
            return {Library("job-titles")};
        case ColumnKind::Department:
            return {Library("departments")};
        case ColumnKind::Product:
            return {Library("product-names")};
        case ColumnKind::Colour:
            return {Library("colors")};
        case ColumnKind::Label:
            return {Words(2), Words(1)};
        case ColumnKind::Code:
            return {Code(column.size)};
        case ColumnKind::Url:
            return {Pattern("https://www.{words}.example.com")};
        case ColumnKind::UserName:
            return {Pattern("{first-names|lower|ascii}##"), Pattern("{words}##")};
        case ColumnKind::LongText:
            return {Words(8), Words(5), Words(3)};
        default:
            return {};
    }
}

// The range of a number its name tells, or null.
const char* NumberRange(ColumnKind kind) {
    switch (kind) {
        case ColumnKind::Price:
            return "1 - 500";
        case ColumnKind::Salary:
            return "1500 - 9000";
        case ColumnKind::Amount:
            return "1 - 2000";
        case ColumnKind::Quantity:
            return "1 - 20";
        case ColumnKind::Percent:
            return "1 - 50";
        case ColumnKind::Rating:
            return "1 - 5";
        case ColumnKind::Weight:
            return "1 - 25";
        case ColumnKind::Age:
            return "18 - 90";
        case ColumnKind::Points:
            return "0 - 5000";
        default:
            return nullptr;
    }
}

// A range writes nothing into a decimal column (ftBCD), which takes text: digits that a pattern
// makes, never all zeros, so a check such as "price > 0" holds.
FillChoice DecimalDigits(ColumnKind kind) {
    switch (kind) {
        case ColumnKind::Salary:
            return Pattern("#9##");
        case ColumnKind::Amount:
            return Pattern("###9");
        case ColumnKind::Rating:
            return Fill(fmRandomFromSet, "1,2,3,4,5");
        case ColumnKind::Quantity:
        case ColumnKind::Percent:
            return Pattern("1#");
        default:
            return Pattern("##9");
    }
}

Choices ByKind(const ColumnFacts& column, ColumnKind kind) {
    if (column.type == ftBCD) {
        return {DecimalDigits(kind)};
    }
    if (StoresText(column.type)) {
        return TextByKind(column, kind);
    }
    if (StoresIntegers(column.type) || StoresReals(column.type)) {
        if (const char* range = NumberRange(kind)) {
            return {Fill(StoresReals(column.type) ? fmRandomReal : fmRandomInteger, range)};
        }
        return {};
    }
    const bool date = column.type == ftDate;
    if (date || column.type == ftDateTime) {
        if (kind == ColumnKind::BirthDate) {
            return {Fill(fmDateRange, "1940-01-01 - today-18y")};
        }
        if (kind == ColumnKind::FutureDate) {
            return {Fill(fmDateRange, date ? "today+1d - today+1y" : "now+1h - now+1y")};
        }
    }
    return {};
}

// Values of the column's type that it keeps whole.
Choices ByType(const ColumnFacts& column) {
    if (StoresText(column.type)) {
        return {Words(3), Words(2), Words(1), Letters(column.size)};
    }
    if (StoresIntegers(column.type)) {
        return {Fill(fmRandomInteger, "1 - 1000")};
    }
    if (StoresReals(column.type)) {
        return {Fill(fmRandomReal, "0 - 1000")};
    }
    switch (column.type) {
        case ftBoolean:
            return {Fill(fmRandomFromSet, "True,False")};
        case ftDate:
            return {Fill(fmDateRange, "today-3y - today")};
        case ftDateTime:
            return {Fill(fmDateRange, "now-3y - now")};
        case ftTime:
            return {Fill(fmDateRange, "08:00:00 - 18:00:00")};
        default:
            return {FillChoice{}};
    }
}

// The share of NULLs of a column that records may well leave empty.
const char* OptionalShare(ColumnKind kind) {
    switch (kind) {
        case ColumnKind::Phone:
            return "10";
        case ColumnKind::LongText:
            return "20";
        default:
            return nullptr;
    }
}

}  // namespace

std::vector<FillChoice> FillCandidates(const ColumnFacts& column) {
    if (column.type == ftAutoInc ||
        (column.unique && column.hasDefault && StoresIntegers(column.type))) {
        return {FillChoice{}};
    }
    if (!column.master.empty()) {
        FillChoice master = Fill(fmMasterRandom, column.master);
        master.unique = column.unique;
        return {master};
    }
    if (column.unique && StoresIntegers(column.type)) {
        FillChoice counted = Fill(fmAutoIncrement);
        counted.unique = true;
        return {counted};
    }
    const ColumnKind kind = KindOfColumn(column.table, column.name);
    Choices choices = ByKind(column, kind);
    for (FillChoice& choice : ByType(column)) {
        choices.push_back(std::move(choice));
    }
    const char* share = OptionalShare(kind);
    for (FillChoice& choice : choices) {
        choice.unique = column.unique && choice.method != fmDontFill;
        if (share != nullptr && !column.notNull && !column.unique) {
            choice.nullShare = share;
        }
    }
    return choices;
}

FillChoice ChooseColumnFill(const ColumnFacts& column,
                            const std::function<bool(const FillChoice&)>& fits) {
    std::vector<FillChoice> choices = FillCandidates(column);
    const auto found = std::find_if(choices.begin(), choices.end(), fits);
    return found != choices.end() ? *found : choices.back();
}

}  // namespace rowsmith
