#include "database/storage/crypto/block_cipher.h"

#include <openssl/evp.h>

#include <string>

namespace storage::crypto {

std::unique_ptr<BlockCipher> BlockCipher::aes(uint32_t keyBits, Chaining chaining) {
    if (keyBits != 128 && keyBits != 192 && keyBits != 256)
        return nullptr;
    const char* mode = chaining == Chaining::Ecb ? "ECB" : chaining == Chaining::Cbc ? "CBC" : "CFB8";
    const std::string name = "AES-" + std::to_string(keyBits) + "-" + mode;
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, name.c_str(), nullptr);
    if (!cipher)
        return nullptr;
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    if (!context) {
        EVP_CIPHER_free(cipher);
        return nullptr;
    }
    return std::unique_ptr<BlockCipher>(new BlockCipher(cipher, context));
}

BlockCipher::BlockCipher(evp_cipher_st* cipher, evp_cipher_ctx_st* context) : m_cipher(cipher), m_context(context) {}

BlockCipher::~BlockCipher() {
    EVP_CIPHER_CTX_free(m_context);
    EVP_CIPHER_free(m_cipher);
}

void BlockCipher::setKey(Bytes key, bool encrypt) {
    EVP_CipherInit_ex(m_context, m_cipher, nullptr, key.data(), nullptr, encrypt ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(m_context, 0);
}

void BlockCipher::run(Bytes iv, std::span<uint8_t> data) {
    // A new IV restarts the chain and keeps the key schedule.
    EVP_CipherInit_ex(m_context, nullptr, nullptr, nullptr, iv.empty() ? nullptr : iv.data(), -1);
    int written = 0;
    EVP_CipherUpdate(m_context, data.data(), &written, data.data(), static_cast<int>(data.size()));
}

void BlockCipher::crypt(Bytes key, Bytes iv, std::span<uint8_t> data, bool encrypt) {
    setKey(key, encrypt);
    run(iv, data);
}

} // namespace storage::crypto
