#pragma once

#include "database/storage/sql/statement.h"

#include <optional>
#include <string_view>

namespace storage::sql {

// The row statements of an import, in exactly the form the importer writes them,
//   INSERT INTO `T` VALUES('a','it''s',...);
// read in one pass, without the general parser's tokens. nullopt for any other text,
// which the general parser then reads (and for which it gives its errors).
std::optional<Insert> parseQuickInsert(std::string_view text);
// The same into `into`, whose room serves statement after statement; false for any other
// text, and `into` then holds nothing meaningful.
bool parseQuickInsert(std::string_view text, Insert& into);

} // namespace storage::sql
