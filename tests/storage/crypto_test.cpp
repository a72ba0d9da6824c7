// The password key derivations of the Office encryption schemes, against values
// computed independently of this code.

#include "database/storage/crypto/agile_descriptor.h"
#include "database/storage/crypto/key_derivation.h"
#include "database/storage/format/rc4.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace storage::crypto {
namespace {

std::string hex(Bytes bytes) {
    std::string text;
    char pair[3];
    for (uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

std::vector<uint8_t> counting(std::size_t length) {
    std::vector<uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

const uint32_t kDatabaseKey = 0xA1B31FA9; // the bytes A9 1F B3 A1 at 0x3E

TEST(KeyDerivation, BlockKeysAreThePageXorTheDatabaseKey) {
    EXPECT_EQ(hex(pageBlockKey(kDatabaseKey, 2)), "ab1fb3a1");
    EXPECT_EQ(hex(passwordBytes(u"Test123")), "5400650073007400310032003300");
}

TEST(KeyDerivation, HeaderMaskKeystream) {
    std::vector<uint8_t> zeros(16, 0);
    const uint8_t key[] = {0xC7, 0xDA, 0x39, 0x6B};
    Rc4(key).apply(zeros);
    EXPECT_EQ(hex(zeros), "b56f03626108c255eba96772433f009c");
}

TEST(KeyDerivation, Rc4CryptoApi) {
    const std::vector<uint8_t> base = rc4CryptoApiBase(counting(16), passwordBytes(u"Test123"));
    EXPECT_EQ(hex(base), "d704ed93b46536ac02b8093affed2910983ef44d");
    auto sha1 = Digest::sha1();
    EXPECT_EQ(hex(rc4CryptoApiKey(*sha1, base, blockKey(0), 40)), "df543222c8" + std::string(22, '0'));
    EXPECT_EQ(hex(rc4CryptoApiKey(*sha1, base, pageBlockKey(kDatabaseKey, 2), 40)),
              "668d1d3e69" + std::string(22, '0'));
    EXPECT_EQ(rc4CryptoApiKey(*sha1, base, blockKey(0), 128).size(), 16u);
}

TEST(KeyDerivation, StandardAes) {
    const std::vector<uint8_t> base = standardBase(counting(16), passwordBytes(u"Test123"), 50000);
    EXPECT_EQ(hex(base), "4ca3b0b615106d35555296cfb33cfe6acbe04f6c");
    auto sha1 = Digest::sha1();
    EXPECT_EQ(hex(standardKey(*sha1, base, blockKey(0), 128)), "315fc8e69efb99894edcfa5bca6d30ed");
    // The non-standard variant does not spin: its base is the first hash itself.
    EXPECT_EQ(standardBase(counting(16), passwordBytes(u"Test123"), 0),
              rc4CryptoApiBase(counting(16), passwordBytes(u"Test123")));
}

TEST(KeyDerivation, Agile) {
    auto sha512 = Digest::named("SHA512");
    ASSERT_TRUE(sha512);
    const std::vector<uint8_t> base = agileBase(*sha512, counting(16), passwordBytes(u"1234"), 100000);
    EXPECT_EQ(hex(Bytes(base).first(16)), "7724adad7de04b422b65f5944e0f1359");
    EXPECT_EQ(hex(agileKey(*sha512, base, kVerifierInputBlock, 256)),
              "43b9f6176eef9edc113a6276428b9af571c72bbf0677ab2d872709161639338d");
    EXPECT_EQ(hex(agileKey(*sha512, base, kKeyValueBlock, 256)),
              "27b0a273fdf00689746cf2e460ceb7e3fff18a86b955f689e7fd092824681624");
    EXPECT_EQ(hex(agileIv(*sha512, counting(16), pageBlockKey(kDatabaseKey, 2), 16)),
              "9bee6d30ad0551c83dcf920dfc1fa2f6");
    // A hash shorter than the key is padded with 0x36.
    auto sha1 = Digest::named("SHA1");
    const std::vector<uint8_t> padded = agileKey(*sha1, base, kKeyValueBlock, 256);
    EXPECT_EQ(padded.size(), 32u);
    EXPECT_EQ(hex(Bytes(padded).last(12)), "363636363636363636363636");
}

TEST(AgileDescriptor, ReadsAttributesWhateverThePrefixAndOrder) {
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<e:encryption xmlns:e=\"http://schemas.microsoft.com/office/2006/encryption\" "
        "xmlns:pw=\"http://schemas.microsoft.com/office/2006/keyEncryptor/password\">"
        "<e:keyData hashAlgorithm=\"SHA256\" saltValue=\"AAECAwQFBgcICQoLDA0ODw==\" saltSize=\"16\" blockSize=\"16\" "
        "keyBits=\"192\" hashSize=\"32\" cipherAlgorithm=\"AES\" cipherChaining=\"ChainingModeCFB\"/>"
        "<e:keyEncryptors><e:keyEncryptor uri=\"http://schemas.microsoft.com/office/2006/keyEncryptor/certificate\">"
        "<c:encryptedKey "
        "xmlns:c=\"http://schemas.microsoft.com/office/2006/keyEncryptor/certificate\"/></e:keyEncryptor>"
        "<e:keyEncryptor uri=\"http://schemas.microsoft.com/office/2006/keyEncryptor/password\">"
        "<pw:encryptedKey spinCount=\"7\" saltSize=\"16\" blockSize=\"16\" keyBits=\"192\" hashSize=\"32\" "
        "cipherAlgorithm=\"AES\" cipherChaining=\"ChainingModeCFB\" hashAlgorithm=\"SHA256\" saltValue=\"AQ==\" "
        "encryptedVerifierHashInput=\"AQI=\" encryptedVerifierHashValue=\"AQID\" encryptedKeyValue=\"AQIDBA==\"/>"
        "</e:keyEncryptor></e:keyEncryptors></e:encryption>";
    auto parsed = parseAgileDescriptor(xml);
    ASSERT_TRUE(parsed) << parsed.error().description;
    EXPECT_EQ(parsed->keyData.keyBits, 192u);
    EXPECT_EQ(parsed->keyData.cipherChaining, "ChainingModeCFB");
    EXPECT_EQ(parsed->keyData.salt, counting(16));
    ASSERT_TRUE(parsed->password);
    EXPECT_EQ(parsed->password->spinCount, 7u);
    EXPECT_EQ(parsed->password->encryptedKeyValue, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(parsed->otherEncryptors,
              std::vector<std::string>{"http://schemas.microsoft.com/office/2006/keyEncryptor/certificate"});

    // What is written reads back the same.
    auto again = parseAgileDescriptor(writeAgileDescriptor(*parsed));
    ASSERT_TRUE(again) << again.error().description;
    EXPECT_EQ(again->password->encryptedVerifierHashValue, parsed->password->encryptedVerifierHashValue);
    EXPECT_EQ(again->keyData.hashAlgorithm, "SHA256");
}

TEST(AgileDescriptor, RefusesMalformedDescriptors) {
    EXPECT_FALSE(parseAgileDescriptor("<encryption"));
    EXPECT_FALSE(parseAgileDescriptor("<encryption xmlns=\"http://schemas.microsoft.com/office/2006/encryption\"/>"));
    // keyData in no namespace is not the encryption schema's element.
    EXPECT_FALSE(parseAgileDescriptor("<encryption><keyData saltSize=\"16\"/></encryption>"));
}

} // namespace
} // namespace storage::crypto
