#pragma once

#include "database/storage/status.h"

#include <string_view>

// The messages of creating a database, worded as the engine words them where it has one.
namespace storage::create_errors {

Error databaseExists();          // 3204
Error passwordTooLong();         // more than 20 characters
Error encodingIsForJet(); // RC4 page encoding asked for an ACCDB file
// A system call failed with errorNumber while the file was made.
Error cannotCreate(std::string_view path, int errorNumber);

} // namespace storage::create_errors
