// ColumnKind: what a column holds, as far as its name and its table's name tell: "first_name",
// "FirstName" and "fname" all hold a first name, a bare "name" in "products" a product's name.
// Drafting a scenario reads it to pick a value that looks like what the column is for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rowsmith {

enum class ColumnKind : std::uint8_t {
    Other,
    FirstName,
    LastName,
    FullName,
    Email,
    Phone,
    City,
    Country,
    CountryCode,
    Street,
    PostalCode,
    Company,
    JobTitle,
    Department,
    Product,
    Colour,
    Label,
    Code,
    Url,
    UserName,
    LongText,
    Price,
    Salary,
    Amount,
    Quantity,
    Percent,
    Rating,
    Weight,
    Age,
    Points,
    BirthDate,
    FutureDate,
};

// The words of a name in lower case: "FirstName", "first_name" and "FIRST NAME" give "first",
// "name"; "URLPath" gives "url", "path"; "address1" gives "address", "1".
std::vector<std::string> NameWords(const std::string& name);

// What the column `column` of `table` holds, by its name alone; Other when its name tells nothing.
ColumnKind KindOfColumn(const std::string& table, const std::string& column);

}  // namespace rowsmith
