#pragma once

#include "database/storage/status.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace storage::crypto {

// How a new database's pages are protected.
enum class NewEncryption {
    JetEncoding,       // Jet 4 RC4 page encoding ("Encode Database" of Access 2000-2003); no password involved
    AgileAes256Sha512, // what Access 2013 and later make: 100,000 spins
    AgileAes128Sha1,   // what Access 2010 made
    Rc4CryptoApi,      // Access 2007: 40-bit RC4, Base provider
    StandardAes,       // AES-128, 50,000 spins
    NonStandardAes,    // AES-256 through CryptoAPI without the AES flag: no spins
};

// Protects the image of a new database in place: a random database key on page 0, for
// ACE the EncryptionInfo that `password` opens, and every other page encoded as opening
// the file will decode it. Salts, keys and verifiers come from the system's
// cryptographic random source.
Status protectNewImage(std::vector<uint8_t>& image, NewEncryption scheme, std::u16string_view password);

} // namespace storage::crypto
