#pragma once

#include "database/storage/status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace storage::crypto {

// The parameters of one key in an agile encryption descriptor (the XML that follows
// version 4.4 in the EncryptionInfo).
struct AgileKeyParameters {
    uint32_t saltSize = 0;
    uint32_t blockSize = 0;
    uint32_t keyBits = 0;
    uint32_t hashSize = 0;
    std::string cipherAlgorithm; // "AES", "RC2", ...
    std::string cipherChaining;  // "ChainingModeCBC" or "ChainingModeCFB"
    std::string hashAlgorithm;   // "SHA1", "SHA512", ...
    std::vector<uint8_t> salt;
};

// The password key encryptor: how the data key is protected by the password.
struct AgilePasswordKey : AgileKeyParameters {
    uint32_t spinCount = 0;
    std::vector<uint8_t> encryptedVerifierHashInput;
    std::vector<uint8_t> encryptedVerifierHashValue;
    std::vector<uint8_t> encryptedKeyValue;
};

struct AgileDescriptor {
    AgileKeyParameters keyData;               // the data key: how pages are encrypted
    std::optional<AgilePasswordKey> password; // absent when only other encryptors protect the key
    std::vector<std::string> otherEncryptors; // the uri of every key encryptor that is not the password's
};

// Reads the descriptor with an XML parser; namespace prefixes and attribute order may vary.
// Fails (NotSupported) with a description of what is missing or malformed.
Result<AgileDescriptor> parseAgileDescriptor(std::string_view xml);
// The descriptor as Access writes it, UTF-8 with its XML declaration.
std::string writeAgileDescriptor(const AgileDescriptor& descriptor);

std::vector<uint8_t> base64Decode(std::string_view text, bool& ok);
std::string base64Encode(const std::vector<uint8_t>& bytes);

} // namespace storage::crypto
