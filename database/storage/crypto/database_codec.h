#pragma once

#include "database/storage/crypto/page_codec.h"
#include "database/storage/file/file.h"
#include "database/storage/format/bytes.h"
#include "database/storage/format/header.h"
#include "database/storage/status.h"

#include <memory>
#include <string>
#include <string_view>

namespace storage::crypto {

// The codec for the pages of a file whose header page is page0: null when its pages
// are stored in clear, Jet's RC4 page encoding for an encoded .mdb, and for an
// encrypted .accdb the scheme its EncryptionInfo names, keyed from the password.
// The password's key derivation runs here, once. Fails with 3031 "Not a valid
// password." for a wrong or empty password, and (NotSupported) naming a scheme this
// engine cannot decrypt.
Result<std::shared_ptr<PageCodec>> pageCodecFor(Bytes page0, const DatabaseHeader& header, std::string_view password,
                                                const std::string& pathForMessages);
// The same for the file itself, whose header page is read first.
Result<std::shared_ptr<PageCodec>> pageCodecOf(File& file, std::string_view password,
                                               const std::string& pathForMessages);

} // namespace storage::crypto
