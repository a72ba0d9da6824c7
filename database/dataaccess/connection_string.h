#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dataaccess {

// What a connection string asks for.
struct ConnectionProperties {
    std::string provider;
    std::string dataSource;
    std::string databasePassword;
    // Every other keyword, lower-cased, with its value; the last occurrence wins.
    std::vector<std::pair<std::string, std::string>> others;
};

// Reads "keyword=value;..." text. Keywords compare without regard to case.
//
// Paths and passwords reach us unescaped, so two keywords are read the way the
// program builds its strings: "Data Source" runs up to ";JET OLEDB:Database
// Password=" (or the end), and the password is everything after that clause.
// A password holding ";" or blanks therefore arrives whole.
ConnectionProperties parseConnectionString(std::string_view text);

// ASCII lower-casing, for keywords and provider names.
std::string asciiLower(std::string_view text);

} // namespace dataaccess
