#pragma once

#include "database/storage/format/bytes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

struct evp_cipher_st;
struct evp_cipher_ctx_st;

namespace storage::crypto {

// AES from libcrypto, without padding, with one context that every page uses again.
// The key schedule is made only when the key or the direction changes.
class BlockCipher {
public:
    enum class Chaining { Ecb, Cbc, Cfb }; // CFB with 8-bit feedback, as Office defines it

    // Null when AES has no variant with that key size (128, 192, 256 bits).
    static std::unique_ptr<BlockCipher> aes(uint32_t keyBits, Chaining chaining);
    ~BlockCipher();
    BlockCipher(const BlockCipher&) = delete;
    BlockCipher& operator=(const BlockCipher&) = delete;

    void setKey(Bytes key, bool encrypt);
    // Encrypts or decrypts data in place with the key set last; ECB ignores the IV.
    // ECB and CBC take whole 16-byte blocks only.
    void run(Bytes iv, std::span<uint8_t> data);
    // setKey and run for one value; the key schedule is then made again.
    void crypt(Bytes key, Bytes iv, std::span<uint8_t> data, bool encrypt);

private:
    BlockCipher(evp_cipher_st* cipher, evp_cipher_ctx_st* context);
    evp_cipher_st* m_cipher;
    evp_cipher_ctx_st* m_context;
};

} // namespace storage::crypto
