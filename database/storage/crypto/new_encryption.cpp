#include "database/storage/crypto/new_encryption.h"

#include "database/storage/crypto/agile_descriptor.h"
#include "database/storage/crypto/block_cipher.h"
#include "database/storage/crypto/database_codec.h"
#include "database/storage/crypto/encryption_info.h"
#include "database/storage/crypto/key_derivation.h"
#include "database/storage/format/header.h"
#include "database/storage/format/rc4.h"
#include "database/storage/format/text_codec.h"

#include <openssl/rand.h>

#include <cstring>

namespace storage::crypto {

namespace {

constexpr std::size_t kMaskStart = 0x18;
constexpr std::size_t kMaskLength = 128;
constexpr std::size_t kDatabaseKey = 0x3E;
constexpr uint32_t kAgileSpins = 100000;
constexpr uint32_t kSaltSize = 16;
constexpr uint32_t kAesBlock = 16;

Error noRandomness() {
    return {0, "The system's random source gave no random bytes.", ErrorKind::IOError};
}

bool fillRandom(std::vector<uint8_t>& bytes) {
    return RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) == 1;
}

// Writes the database key into the masked region of page 0.
void setDatabaseKey(std::vector<uint8_t>& image, uint32_t key) {
    static constexpr uint8_t kMaskKey[4] = {0xC7, 0xDA, 0x39, 0x6B};
    std::span<uint8_t> region(image.data() + kMaskStart, kMaskLength);
    Rc4(kMaskKey).apply(region);
    const BlockKey bytes = blockKey(key);
    std::memcpy(image.data() + kDatabaseKey, bytes.data(), bytes.size());
    Rc4(kMaskKey).apply(region);
}

std::vector<uint8_t> encrypted(BlockCipher& cipher, Bytes key, Bytes iv, std::vector<uint8_t> value) {
    value.resize((value.size() + kAesBlock - 1) / kAesBlock * kAesBlock, 0);
    cipher.crypt(key, iv, value, true);
    return value;
}

Result<std::vector<uint8_t>> agileInfo(Bytes password, uint32_t keyBits, const char* hashName) {
    auto hash = Digest::named(hashName);
    auto cipher = BlockCipher::aes(keyBits, BlockCipher::Chaining::Cbc);
    if (!hash || !cipher)
        return Error{0, std::string("This system's libcrypto lacks ") + hashName + " or AES.", ErrorKind::NotSupported};
    AgileDescriptor descriptor;
    AgileKeyParameters parameters;
    parameters.saltSize = kSaltSize;
    parameters.blockSize = kAesBlock;
    parameters.keyBits = keyBits;
    parameters.hashSize = static_cast<uint32_t>(hash->size());
    parameters.cipherAlgorithm = "AES";
    parameters.cipherChaining = "ChainingModeCBC";
    parameters.hashAlgorithm = hashName;
    parameters.salt.resize(kSaltSize);
    descriptor.keyData = parameters;
    AgilePasswordKey key;
    static_cast<AgileKeyParameters&>(key) = parameters;
    key.spinCount = kAgileSpins;
    key.salt.resize(kSaltSize);
    std::vector<uint8_t> verifier(kSaltSize);
    std::vector<uint8_t> dataKey(keyBits / 8);
    if (!fillRandom(descriptor.keyData.salt) || !fillRandom(key.salt) || !fillRandom(verifier) || !fillRandom(dataKey))
        return noRandomness();

    const std::vector<uint8_t> base = agileBase(*hash, key.salt, password, key.spinCount);
    const std::vector<uint8_t> iv = fitTo(key.salt, kAesBlock);
    key.encryptedVerifierHashInput =
        encrypted(*cipher, agileKey(*hash, base, kVerifierInputBlock, keyBits), iv, verifier);
    key.encryptedVerifierHashValue =
        encrypted(*cipher, agileKey(*hash, base, kVerifierHashBlock, keyBits), iv, hash->of({verifier}));
    key.encryptedKeyValue = encrypted(*cipher, agileKey(*hash, base, kKeyValueBlock, keyBits), iv, dataKey);
    descriptor.password = std::move(key);
    return writeAgileInfo(writeAgileDescriptor(descriptor));
}

Result<std::vector<uint8_t>> cryptoApiInfo(Bytes password, NewEncryption scheme) {
    CryptoApiInfo info;
    info.algIdHash = algorithm::kSha1;
    switch (scheme) {
    case NewEncryption::Rc4CryptoApi:
        info.flags = flag::kCryptoApi;
        info.algId = algorithm::kRc4;
        info.keyBits = 40;
        info.providerType = 1;
        info.providerName = u"Microsoft Base Cryptographic Provider v1.0";
        break;
    case NewEncryption::StandardAes:
        info.flags = flag::kCryptoApi | flag::kAes;
        info.algId = algorithm::kAes128;
        info.keyBits = 128;
        info.providerType = 0x18;
        info.providerName = u"Microsoft Enhanced RSA and AES Cryptographic Provider";
        break;
    default: // the non-standard AES variant, as one Access 2010-format file has it
        info.flags = flag::kCryptoApi | flag::kDocProps;
        info.algId = algorithm::kAes256;
        info.keyBits = 256;
        info.providerType = 0x18;
        info.providerName = u"Microsoft Enhanced RSA and AES Cryptographic Provider";
        break;
    }
    info.salt.resize(kSaltSize);
    std::vector<uint8_t> verifier(16);
    if (!fillRandom(info.salt) || !fillRandom(verifier))
        return noRandomness();
    auto sha1 = Digest::sha1();
    std::vector<uint8_t> verifierHash = sha1->of({verifier});
    if (scheme == NewEncryption::Rc4CryptoApi) {
        Rc4 stream(rc4CryptoApiKey(*sha1, rc4CryptoApiBase(info.salt, password), blockKey(0), info.keyBits));
        stream.apply(verifier);
        stream.apply(verifierHash);
        info.encryptedVerifier = verifier;
        info.encryptedVerifierHash = verifierHash;
    } else {
        const uint32_t spins = scheme == NewEncryption::StandardAes ? 50000 : 0;
        const std::vector<uint8_t> key =
            standardKey(*sha1, standardBase(info.salt, password, spins), blockKey(0), info.keyBits);
        auto cipher = BlockCipher::aes(info.keyBits, BlockCipher::Chaining::Ecb);
        info.encryptedVerifier = encrypted(*cipher, key, {}, verifier);
        info.encryptedVerifierHash = encrypted(*cipher, key, {}, verifierHash);
    }
    return writeCryptoApiInfo(info);
}

} // namespace

Status protectNewImage(std::vector<uint8_t>& image, NewEncryption scheme, std::u16string_view password) {
    auto header = decodeHeader(image, "new database");
    if (!header)
        return header.error();
    const bool jet = scheme == NewEncryption::JetEncoding;
    if (jet != !header->isAce())
        return Error{0, "That kind of encryption is not for this file format.", ErrorKind::NotSupported};

    std::vector<uint8_t> keyBytes(4);
    do {
        if (!fillRandom(keyBytes))
            return noRandomness();
    } while (keyBytes == std::vector<uint8_t>(4, 0)); // 0 means "in clear"
    const uint32_t databaseKey = readU32(keyBytes, 0);

    std::string utf8Password;
    if (!jet) {
        const std::vector<uint8_t> passwordUtf16 = passwordBytes(password);
        Result<std::vector<uint8_t>> info = Error{};
        switch (scheme) {
        case NewEncryption::AgileAes256Sha512:
            info = agileInfo(passwordUtf16, 256, "SHA512");
            break;
        case NewEncryption::AgileAes128Sha1:
            info = agileInfo(passwordUtf16, 128, "SHA1");
            break;
        default:
            info = cryptoApiInfo(passwordUtf16, scheme);
            break;
        }
        if (!info)
            return info.error();
        if (kEncryptionInfoStart + info->size() > kEncryptionInfoEnd)
            return Error{0, "The encryption information does not fit the header page.", ErrorKind::Failed};
        writeU16(image, kEncryptionInfoLength, static_cast<uint16_t>(info->size()));
        std::memcpy(image.data() + kEncryptionInfoStart, info->data(), info->size());
        utf8Password = utf16leToUtf8(passwordUtf16);
    }
    setDatabaseKey(image, databaseKey);

    // The codec comes from the header just written, as opening the file will find it.
    header = decodeHeader(image, "new database");
    if (!header)
        return header.error();
    auto codec = pageCodecFor(image, *header, utf8Password, "new database");
    if (!codec)
        return codec.error();
    for (std::size_t at = header->pageSize; at + header->pageSize <= image.size(); at += header->pageSize)
        (*codec)->encode(static_cast<uint32_t>(at / header->pageSize), std::span(image).subspan(at, header->pageSize));
    return Status::ok();
}

} // namespace storage::crypto
