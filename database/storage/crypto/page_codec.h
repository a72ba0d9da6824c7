#pragma once

#include "database/storage/crypto/block_cipher.h"
#include "database/storage/crypto/digest.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace storage::crypto {

// Turns a page as the file stores it into the page as it reads, and back. Every page
// but page 0 goes through it, whole; page 0 only ever carries its header mask.
// Not thread-safe: codecs keep their cipher contexts between pages.
class PageCodec {
public:
    virtual ~PageCodec() = default;
    virtual void decode(uint32_t page, std::span<uint8_t> bytes) = 0;
    virtual void encode(uint32_t page, std::span<uint8_t> bytes) = 0;
};

// Jet 4 RC4 page encoding: RC4 keyed with LE32(databaseKey XOR page).
std::unique_ptr<PageCodec> jetPageEncoding(uint32_t databaseKey);
// RC4 through CryptoAPI, a fresh stream per page keyed from the password's base hash.
std::unique_ptr<PageCodec> rc4CryptoApiCodec(std::vector<uint8_t> base, uint32_t keyBits, uint32_t databaseKey);
// Standard AES (and its zero-spin variant): AES-ECB with a key derived per page.
std::unique_ptr<PageCodec> standardAesCodec(std::vector<uint8_t> base, uint32_t keyBits, uint32_t databaseKey);
// Agile: one data key; the IV of a page is hash(salt ‖ block key).
std::unique_ptr<PageCodec> agileCodec(std::unique_ptr<Digest> hash, std::unique_ptr<BlockCipher> decrypting,
                                      std::unique_ptr<BlockCipher> encrypting, std::vector<uint8_t> dataKey,
                                      std::vector<uint8_t> salt, uint32_t blockSize, uint32_t databaseKey);

} // namespace storage::crypto
