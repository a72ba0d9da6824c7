#pragma once

// The Office EncryptionInfo structure that an encrypted ACCDB keeps on page 0: a
// 16-bit length at 0x299, the structure from 0x29B. It starts with a version
// (major, minor: 16 bits each). The CryptoAPI forms (x.2) continue:
//
//   offset  size  meaning
//   4       4     flags (a copy of the header's)
//   8       4     header size H
//   12      H     EncryptionHeader: flags, size extra, AlgID, AlgIDHash, key bits,
//                 provider type, 2 reserved, then the provider name (UTF-16LE, NUL-terminated)
//   12+H    ...   EncryptionVerifier: salt size (16), salt, encrypted verifier (16),
//                 verifier hash size, encrypted verifier hash (20 bytes RC4, 32 AES)
//
// Agile (4.4) continues with a reserved 32-bit 0x40 and the XML descriptor.

#include "database/storage/format/bytes.h"
#include "database/storage/status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace storage::crypto {

inline constexpr std::size_t kEncryptionInfoLength = 0x299;
inline constexpr std::size_t kEncryptionInfoStart = 0x29B;
// The structure must end before the user slots at 0xE00.
inline constexpr std::size_t kEncryptionInfoEnd = 0xE00;

namespace flag {
inline constexpr uint32_t kCryptoApi = 0x04;
inline constexpr uint32_t kDocProps = 0x08;
inline constexpr uint32_t kExternal = 0x10; // extensible encryption
inline constexpr uint32_t kAes = 0x20;
} // namespace flag

namespace algorithm {
inline constexpr uint32_t kRc4 = 0x6801;
inline constexpr uint32_t kAes128 = 0x660E;
inline constexpr uint32_t kAes192 = 0x660F;
inline constexpr uint32_t kAes256 = 0x6610;
inline constexpr uint32_t kSha1 = 0x8004;
} // namespace algorithm

struct CryptoApiInfo {
    uint16_t major = 4;
    uint16_t minor = 2;
    uint32_t flags = 0;
    uint32_t algId = 0;     // 0: decided by the flags
    uint32_t algIdHash = 0; // 0: SHA-1
    uint32_t keyBits = 0;   // 0: the algorithm's default
    uint32_t providerType = 0;
    std::u16string providerName;
    std::vector<uint8_t> salt;
    std::vector<uint8_t> encryptedVerifier;
    uint32_t verifierHashSize = 20;
    std::vector<uint8_t> encryptedVerifierHash;

    bool isAes() const; // by AlgID, or by the flags when AlgID is 0
    // The key size in bits with the defaults filled in.
    uint32_t effectiveKeyBits() const;
};

// The EncryptionInfo bytes of page 0; empty when the length does not fit the page.
Bytes encryptionInfoOf(Bytes page0);

// Reads a CryptoAPI form (version 2.2, 3.2 or 4.2). Fails (NotSupported) naming what is wrong.
Result<CryptoApiInfo> parseCryptoApiInfo(Bytes info);
std::vector<uint8_t> writeCryptoApiInfo(const CryptoApiInfo& info);

// The agile form: version 4.4, reserved 0x40, the descriptor.
std::vector<uint8_t> writeAgileInfo(const std::string& descriptor);

} // namespace storage::crypto
