#include "database/storage/crypto/database_codec.h"

#include "database/storage/crypto/agile_descriptor.h"
#include "database/storage/crypto/encryption_info.h"
#include "database/storage/crypto/key_derivation.h"
#include "database/storage/errors.h"
#include "database/storage/format/rc4.h"
#include "database/storage/format/text_codec.h"

#include <cstdio>

namespace storage::crypto {

namespace {

constexpr uint32_t kStandardSpins = 50000;
constexpr uint32_t kMostSpins = 10000000; // the schema's limit

using CodecResult = Result<std::shared_ptr<PageCodec>>;

struct Opening {
    const std::string& path;
    std::vector<uint8_t> password; // UTF-16LE
    uint32_t databaseKey;

    Error unsupported(const std::string& scheme) const { return errors::encryptedAccdb(path, scheme); }
};

std::string version(uint16_t major, uint16_t minor) {
    return std::to_string(major) + "." + std::to_string(minor);
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::optional<BlockCipher::Chaining> chainingNamed(const std::string& name) {
    if (name == "ChainingModeCBC")
        return BlockCipher::Chaining::Cbc;
    if (name == "ChainingModeCFB")
        return BlockCipher::Chaining::Cfb;
    return std::nullopt;
}

std::string describe(const AgileKeyParameters& key) {
    return "agile encryption, " + key.cipherAlgorithm + "-" + std::to_string(key.keyBits) + " " + key.cipherChaining +
           ", " + key.hashAlgorithm;
}

// The cipher and hash a key's parameters name, when this engine has them.
struct KeyTools {
    std::unique_ptr<Digest> hash;
    std::unique_ptr<BlockCipher> cipher;
};

Result<KeyTools> toolsFor(const AgileKeyParameters& key, const Opening& opening) {
    KeyTools tools;
    tools.hash = Digest::named(key.hashAlgorithm);
    const auto chaining = chainingNamed(key.cipherChaining);
    if (key.cipherAlgorithm == "AES" && chaining && key.blockSize == 16)
        tools.cipher = BlockCipher::aes(key.keyBits, *chaining);
    if (!tools.hash || !tools.cipher || key.hashSize == 0 || key.hashSize > tools.hash->size())
        return opening.unsupported(describe(key));
    return tools;
}

std::vector<uint8_t> decrypted(BlockCipher& cipher, Bytes key, Bytes iv, const std::vector<uint8_t>& value) {
    std::vector<uint8_t> plain = value;
    cipher.crypt(key, iv, plain, false);
    return plain;
}

CodecResult openAgile(Bytes info, const Opening& opening) {
    const std::string_view xml(reinterpret_cast<const char*>(info.data()) + 8, info.size() - 8);
    auto descriptor = parseAgileDescriptor(xml);
    if (!descriptor)
        return opening.unsupported(descriptor.error().description);
    if (!descriptor->password) {
        const std::string others = descriptor->otherEncryptors.empty() ? "none" : descriptor->otherEncryptors.front();
        return opening.unsupported("agile encryption without a password key encryptor (key encryptor: " + others + ")");
    }
    const AgilePasswordKey& encryptor = *descriptor->password;
    const AgileKeyParameters& keyData = descriptor->keyData;
    auto encryptorTools = toolsFor(encryptor, opening);
    if (!encryptorTools)
        return encryptorTools.error();
    auto pageTools = toolsFor(keyData, opening);
    if (!pageTools)
        return pageTools.error();
    if (encryptor.spinCount > kMostSpins)
        return opening.unsupported(describe(keyData) + ", " + std::to_string(encryptor.spinCount) + " spins");
    const bool blockChained = encryptor.cipherChaining == "ChainingModeCBC";
    for (const auto* value :
         {&encryptor.encryptedVerifierHashInput, &encryptor.encryptedVerifierHashValue, &encryptor.encryptedKeyValue})
        if (value->empty() || (blockChained && value->size() % encryptor.blockSize != 0))
            return opening.unsupported(describe(keyData) + " with encrypted values of the wrong size");

    Digest& hash = *encryptorTools->hash;
    BlockCipher& cipher = *encryptorTools->cipher;
    const std::vector<uint8_t> base = agileBase(hash, encryptor.salt, opening.password, encryptor.spinCount);
    const std::vector<uint8_t> iv = fitTo(encryptor.salt, encryptor.blockSize);
    const std::vector<uint8_t> input = decrypted(cipher, agileKey(hash, base, kVerifierInputBlock, encryptor.keyBits),
                                                 iv, encryptor.encryptedVerifierHashInput);
    const std::vector<uint8_t> expected = decrypted(cipher, agileKey(hash, base, kVerifierHashBlock, encryptor.keyBits),
                                                    iv, encryptor.encryptedVerifierHashValue);
    const std::vector<uint8_t> actual =
        hash.of({Bytes(input).first(std::min<std::size_t>(encryptor.saltSize, input.size()))});
    const std::size_t compared = encryptor.hashSize;
    if (expected.size() < compared || !sameBytes(Bytes(actual).first(compared), Bytes(expected).first(compared)))
        return errors::notValidPassword();

    std::vector<uint8_t> dataKey =
        decrypted(cipher, agileKey(hash, base, kKeyValueBlock, encryptor.keyBits), iv, encryptor.encryptedKeyValue);
    if (dataKey.size() < keyData.keyBits / 8)
        return opening.unsupported(describe(keyData) + " with a data key of the wrong size");
    dataKey.resize(keyData.keyBits / 8);
    auto encrypting = toolsFor(keyData, opening); // a second context, keyed for the other direction
    return std::shared_ptr<PageCodec>(agileCodec(std::move(pageTools->hash), std::move(pageTools->cipher),
                                                 std::move(encrypting->cipher), std::move(dataKey), keyData.salt,
                                                 keyData.blockSize, opening.databaseKey));
}

std::string describe(const CryptoApiInfo& info) {
    std::string kind = (info.flags & flag::kAes) ? "standard AES encryption"
                       : info.isAes()            ? "non-standard CryptoAPI AES encryption"
                                                 : "RC4 CryptoAPI encryption";
    return kind + " " + version(info.major, info.minor) + ", " + std::to_string(info.effectiveKeyBits()) + "-bit key";
}

CodecResult openCryptoApi(Bytes info, const Opening& opening) {
    auto parsed = parseCryptoApiInfo(info);
    if (!parsed)
        return opening.unsupported(parsed.error().description);
    const CryptoApiInfo& api = *parsed;
    const uint32_t keyBits = api.effectiveKeyBits();
    const bool sha1 = api.algIdHash == 0 || api.algIdHash == algorithm::kSha1;
    if (!(api.flags & flag::kCryptoApi) || (api.flags & flag::kExternal) || !sha1)
        return opening.unsupported(describe(api) + ", flags " + hex(api.flags));
    auto sha1Digest = Digest::sha1();

    if (!api.isAes()) {
        if (api.algId != 0 && api.algId != algorithm::kRc4)
            return opening.unsupported("CryptoAPI encryption with algorithm " + hex(api.algId));
        if (keyBits < 40 || keyBits > 160 || keyBits % 8 != 0)
            return opening.unsupported(describe(api));
        std::vector<uint8_t> base = rc4CryptoApiBase(api.salt, opening.password);
        std::vector<uint8_t> verifier = api.encryptedVerifier;
        std::vector<uint8_t> hash = api.encryptedVerifierHash;
        Rc4 stream(rc4CryptoApiKey(*sha1Digest, base, blockKey(0), keyBits));
        stream.apply(verifier);
        stream.apply(hash);
        if (!sameBytes(sha1Digest->of({verifier}), hash))
            return errors::notValidPassword();
        return std::shared_ptr<PageCodec>(rc4CryptoApiCodec(std::move(base), keyBits, opening.databaseKey));
    }

    // Standard AES spins 50,000 times; the variant without the AES flag not at all.
    const uint32_t spins = (api.flags & flag::kAes) ? kStandardSpins : 0;
    auto cipher = BlockCipher::aes(keyBits, BlockCipher::Chaining::Ecb);
    if (!cipher)
        return opening.unsupported(describe(api));
    std::vector<uint8_t> base = standardBase(api.salt, opening.password, spins);
    const std::vector<uint8_t> key = standardKey(*sha1Digest, base, blockKey(0), keyBits);
    const std::vector<uint8_t> verifier = decrypted(*cipher, key, {}, api.encryptedVerifier);
    const std::vector<uint8_t> hash = decrypted(*cipher, key, {}, api.encryptedVerifierHash);
    if (!sameBytes(sha1Digest->of({verifier}), Bytes(hash).first(20)))
        return errors::notValidPassword();
    return std::shared_ptr<PageCodec>(standardAesCodec(std::move(base), keyBits, opening.databaseKey));
}

} // namespace

CodecResult pageCodecFor(Bytes page0, const DatabaseHeader& header, std::string_view password,
                         const std::string& pathForMessages) {
    if (header.databaseKey == 0)
        return std::shared_ptr<PageCodec>();
    if (!header.isAce())
        return std::shared_ptr<PageCodec>(jetPageEncoding(header.databaseKey));

    const Opening opening{pathForMessages, passwordBytes(utf8ToUtf16(password)), header.databaseKey};
    const Bytes info = encryptionInfoOf(page0);
    if (info.size() < 8)
        return opening.unsupported("unreadable encryption information");
    const uint16_t major = readU16(info, 0);
    const uint16_t minor = readU16(info, 2);
    // An empty password fails the verifier like any other wrong one.
    if (major == 4 && minor == 4)
        return openAgile(info, opening);
    if ((major == 3 || major == 4) && minor == 3)
        return opening.unsupported("extensible encryption " + version(major, minor));
    if (major == 1 && minor == 1)
        return opening.unsupported("Office binary RC4 encryption 1.1");
    if (major >= 2 && major <= 4 && minor == 2)
        return openCryptoApi(info, opening);
    return opening.unsupported("unknown encryption version " + version(major, minor));
}

Result<std::shared_ptr<PageCodec>> pageCodecOf(File& file, std::string_view password,
                                               const std::string& pathForMessages) {
    std::vector<uint8_t> page0(kJet4PageSize);
    Result<std::size_t> got = file.read(0, page0);
    if (!got)
        return got.error();
    page0.resize(*got);
    auto header = decodeHeader(page0, pathForMessages);
    if (!header)
        return header.error();
    return pageCodecFor(page0, *header, password, pathForMessages);
}

} // namespace storage::crypto
