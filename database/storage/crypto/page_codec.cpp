#include "database/storage/crypto/page_codec.h"

#include "database/storage/crypto/key_derivation.h"
#include "database/storage/format/rc4.h"

namespace storage::crypto {

namespace {

class JetPageEncoding final : public PageCodec {
public:
    explicit JetPageEncoding(uint32_t databaseKey) : m_databaseKey(databaseKey) {}
    void decode(uint32_t page, std::span<uint8_t> bytes) override { apply(page, bytes); }
    void encode(uint32_t page, std::span<uint8_t> bytes) override { apply(page, bytes); }

private:
    void apply(uint32_t page, std::span<uint8_t> bytes) {
        const BlockKey key = pageBlockKey(m_databaseKey, page);
        Rc4(key).apply(bytes);
    }
    uint32_t m_databaseKey;
};

class Rc4CryptoApi final : public PageCodec {
public:
    Rc4CryptoApi(std::vector<uint8_t> base, uint32_t keyBits, uint32_t databaseKey)
        : m_base(std::move(base)), m_keyBits(keyBits), m_databaseKey(databaseKey), m_sha1(Digest::sha1()) {}
    void decode(uint32_t page, std::span<uint8_t> bytes) override { apply(page, bytes); }
    void encode(uint32_t page, std::span<uint8_t> bytes) override { apply(page, bytes); }

private:
    void apply(uint32_t page, std::span<uint8_t> bytes) {
        Rc4(rc4CryptoApiKey(*m_sha1, m_base, pageBlockKey(m_databaseKey, page), m_keyBits)).apply(bytes);
    }
    std::vector<uint8_t> m_base;
    uint32_t m_keyBits;
    uint32_t m_databaseKey;
    std::unique_ptr<Digest> m_sha1;
};

class StandardAes final : public PageCodec {
public:
    StandardAes(std::vector<uint8_t> base, uint32_t keyBits, uint32_t databaseKey)
        : m_base(std::move(base)), m_keyBits(keyBits), m_databaseKey(databaseKey), m_sha1(Digest::sha1()),
          m_cipher(BlockCipher::aes(keyBits, BlockCipher::Chaining::Ecb)) {}
    void decode(uint32_t page, std::span<uint8_t> bytes) override { apply(page, bytes, false); }
    void encode(uint32_t page, std::span<uint8_t> bytes) override { apply(page, bytes, true); }

private:
    void apply(uint32_t page, std::span<uint8_t> bytes, bool encrypt) {
        const std::vector<uint8_t> key = standardKey(*m_sha1, m_base, pageBlockKey(m_databaseKey, page), m_keyBits);
        m_cipher->crypt(key, {}, bytes, encrypt);
    }
    std::vector<uint8_t> m_base;
    uint32_t m_keyBits;
    uint32_t m_databaseKey;
    std::unique_ptr<Digest> m_sha1;
    std::unique_ptr<BlockCipher> m_cipher;
};

class Agile final : public PageCodec {
public:
    Agile(std::unique_ptr<Digest> hash, std::unique_ptr<BlockCipher> decrypting,
          std::unique_ptr<BlockCipher> encrypting, const std::vector<uint8_t>& dataKey, std::vector<uint8_t> salt,
          uint32_t blockSize, uint32_t databaseKey)
        : m_hash(std::move(hash)), m_decrypting(std::move(decrypting)), m_encrypting(std::move(encrypting)),
          m_salt(std::move(salt)), m_blockSize(blockSize), m_databaseKey(databaseKey) {
        // Each direction keeps its key schedule: a page costs one hash and the cipher.
        m_decrypting->setKey(dataKey, false);
        m_encrypting->setKey(dataKey, true);
    }
    void decode(uint32_t page, std::span<uint8_t> bytes) override { m_decrypting->run(iv(page), bytes); }
    void encode(uint32_t page, std::span<uint8_t> bytes) override { m_encrypting->run(iv(page), bytes); }

private:
    std::vector<uint8_t> iv(uint32_t page) {
        return agileIv(*m_hash, m_salt, pageBlockKey(m_databaseKey, page), m_blockSize);
    }
    std::unique_ptr<Digest> m_hash;
    std::unique_ptr<BlockCipher> m_decrypting;
    std::unique_ptr<BlockCipher> m_encrypting;
    std::vector<uint8_t> m_salt;
    uint32_t m_blockSize;
    uint32_t m_databaseKey;
};

} // namespace

std::unique_ptr<PageCodec> jetPageEncoding(uint32_t databaseKey) {
    return std::make_unique<JetPageEncoding>(databaseKey);
}

std::unique_ptr<PageCodec> rc4CryptoApiCodec(std::vector<uint8_t> base, uint32_t keyBits, uint32_t databaseKey) {
    return std::make_unique<Rc4CryptoApi>(std::move(base), keyBits, databaseKey);
}

std::unique_ptr<PageCodec> standardAesCodec(std::vector<uint8_t> base, uint32_t keyBits, uint32_t databaseKey) {
    return std::make_unique<StandardAes>(std::move(base), keyBits, databaseKey);
}

std::unique_ptr<PageCodec> agileCodec(std::unique_ptr<Digest> hash, std::unique_ptr<BlockCipher> decrypting,
                                      std::unique_ptr<BlockCipher> encrypting, std::vector<uint8_t> dataKey,
                                      std::vector<uint8_t> salt, uint32_t blockSize, uint32_t databaseKey) {
    return std::make_unique<Agile>(std::move(hash), std::move(decrypting), std::move(encrypting), dataKey,
                                   std::move(salt), blockSize, databaseKey);
}

} // namespace storage::crypto
