#pragma once

#include "database/storage/status.h"

#include <string_view>

// The messages of the writing side, in one place so that wording and Jet's
// two spaces between sentences are fixed once.
namespace storage::write_errors {

Error typeMismatch();             // 3464: a value that cannot be converted to the column's type
Error numericOverflow();          // 3349: a number outside the column type's range
Error fieldTooSmall();            // 3163: text or bytes longer than the column
Error decimalPrecisionTooSmall(); // 3761: more digits than a Decimal column's precision
Error recordTooLarge();           // 3047: the encoded row exceeds 4060 bytes
Error duplicateKey();             // 3022: a key a unique index already holds
Error nullInIndex();              // 3058: Null in a primary key or required index
Error relatedRecordRequired(std::string_view table); // 3201: no row of the related table has the key
Error valueCountMismatch();       // 3346: INSERT with more or fewer values than fields

// Not Jet errors (number 0, NotSupported): what this engine refuses to write.
Error unsupportedColumnType(std::string_view columnName, int typeCode);
Error unsupportedSortOrder(int lcid, int version);
Error textNotStorable(std::string_view why);

} // namespace storage::write_errors
