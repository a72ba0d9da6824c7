#pragma once

#include "database/storage/sql/statement.h"
#include "database/storage/status.h"

#include <string_view>

namespace storage::sql {

// Parses the statement forms the engine carries out:
//   CREATE TABLE name (column type [(size)] [NOT NULL] [WITH COMP[RESSION]], ...) [;]
//   INSERT INTO name [(field, ...)] VALUES (literal, ...) [;]
//   SELECT * FROM name [;]
// Names are `quoted`, [bracketed] or bare (a bare name may not be a reserved word);
// keywords take any letter case; text is UTF-8. Anything else fails with the
// engine's syntax error for what was wrong.
Result<Statement> parse(std::string_view text);
// The same without the short way for an import's row statements (parseQuickInsert).
Result<Statement> parseInFull(std::string_view text);

} // namespace storage::sql
