#pragma once

#include <string>
#include <string_view>

namespace storage::sql {

// ASCII upper-casing, for keywords and type names.
std::string upperAscii(std::string_view word);

// Words that cannot stand unquoted as a table or column name.
bool isReservedWord(std::string_view word);

// Column type names CREATE TABLE knows (upper-cased, words joined by one blank).
bool isKnownTypeName(std::string_view upperName);

} // namespace storage::sql
