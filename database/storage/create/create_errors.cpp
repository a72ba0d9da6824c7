#include "database/storage/create/create_errors.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace storage::create_errors {

Error databaseExists() {
    return {3204, "Database already exists.", ErrorKind::Failed};
}

Error passwordTooLong() {
    return {0, "A database password can have at most 20 characters.", ErrorKind::Failed};
}

Error encodingIsForJet() {
    return {0,
            "Encoding is for .mdb files; an .accdb file is protected by encrypting it with a password "
            "(--password).",
            ErrorKind::NotSupported};
}

Error cannotCreate(std::string_view path, int errorNumber) {
    const bool denied = errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS;
    return {0, "Cannot create the database '" + std::string(path) + "': " + std::strerror(errorNumber) + ".",
            denied ? ErrorKind::PermissionDenied : ErrorKind::IOError};
}

} // namespace storage::create_errors
