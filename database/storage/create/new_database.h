#pragma once

#include "database/storage/crypto/new_encryption.h"
#include "database/storage/open_options.h"
#include "database/storage/status.h"

#include <optional>
#include <string>
#include <string_view>

namespace storage {

struct NewDatabaseOptions {
    FileFormat format = FileFormat::Ace16;
    // At most 20 characters (UTF-16 units), case and all. Jet 4: kept masked in the
    // header and compared by whoever opens the file; the pages stay readable. ACE: the
    // whole file is encrypted with a key derived from it. Empty for none.
    std::string password;
    // Jet 4: RC4 page encoding, as Access 2000-2003 "Encode Database" made it.
    bool encode = false;
    // ACE with a password: the encryption, by default what Access 2013 and later make.
    crypto::NewEncryption aceEncryption = crypto::NewEncryption::AgileAes256Sha512;
};

// Creates an empty database at path, as the engine creates one: the system
// tables and their rows, no user table, no Access objects (Access adds its own
// the first time it opens the file). Fails, leaving nothing behind, with 3204
// when path exists, 3044 when its folder does not, NotSupported for encoding an ACE
// file, and for a password over 20 characters.
Status createDatabase(const std::string& path, const NewDatabaseOptions& options);

// "jet4", "ace12", "ace14", "ace16", "ace17".
std::optional<FileFormat> fileFormatFromName(std::string_view name);
// The format a new file's extension asks for: .mdb Jet 4, .accdb ACE 16 (any letter case).
std::optional<FileFormat> defaultFormatForPath(std::string_view path);

} // namespace storage
