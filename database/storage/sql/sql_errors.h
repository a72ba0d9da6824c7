#pragma once

#include "database/storage/status.h"

#include <string_view>

// The engine's messages for statements it cannot parse or carry out.
namespace storage::sql::errors {

Error invalidStatement();                    // 3129
Error createTableSyntax();                   // 3290
Error fieldDefinitionSyntax();               // 3292
Error invalidFieldType();                    // 3259
Error insertSyntax();                        // 3134
Error fromClauseSyntax();                    // 3131
Error selectSyntax();                        // 3141
Error missingOperator(std::string_view expression); // 3075
Error unterminatedString(std::string_view expression); // 3075
Error charactersAfterEnd();                  // 3142
Error parameterWithoutValue();               // 3061
Error invalidName(std::string_view name);    // 3125
Error tableExists(std::string_view name);    // 3010
Error fieldDefinedTwice();                   // 3191
Error tooManyFields();                       // 3190
Error unknownField(std::string_view name);   // 3127

} // namespace storage::sql::errors
