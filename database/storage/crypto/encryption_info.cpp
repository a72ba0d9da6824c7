#include "database/storage/crypto/encryption_info.h"

#include <algorithm>
#include <cctype>

namespace storage::crypto {

namespace {

constexpr std::size_t kHeaderFixed = 32;

Error unreadable(const std::string& what) {
    return {0, "the encryption information " + what, ErrorKind::NotSupported};
}

void appendU16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void appendU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void append(std::vector<uint8_t>& out, Bytes bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

bool isBaseProvider(const std::u16string& name) {
    std::string lower;
    for (char16_t unit : name)
        lower += unit < 0x80 ? static_cast<char>(std::tolower(static_cast<int>(unit))) : '?';
    return lower.empty() || lower.find(" base ") != std::string::npos;
}

} // namespace

bool CryptoApiInfo::isAes() const {
    if (algId == 0)
        return (flags & flag::kAes) != 0;
    return algId == algorithm::kAes128 || algId == algorithm::kAes192 || algId == algorithm::kAes256;
}

uint32_t CryptoApiInfo::effectiveKeyBits() const {
    if (keyBits != 0)
        return keyBits;
    if (!isAes())
        return isBaseProvider(providerName) ? 40 : 128;
    switch (algId) {
    case algorithm::kAes192:
        return 192;
    case algorithm::kAes256:
        return 256;
    default:
        return 128;
    }
}

Bytes encryptionInfoOf(Bytes page0) {
    if (!fits(page0, kEncryptionInfoLength, 2))
        return {};
    const uint16_t length = readU16(page0, kEncryptionInfoLength);
    if (!fits(page0, kEncryptionInfoStart, length))
        return {};
    return page0.subspan(kEncryptionInfoStart, length);
}

Result<CryptoApiInfo> parseCryptoApiInfo(Bytes info) {
    CryptoApiInfo parsed;
    if (!fits(info, 0, 12))
        return unreadable("is cut short");
    parsed.major = readU16(info, 0);
    parsed.minor = readU16(info, 2);
    const uint32_t headerSize = readU32(info, 8);
    constexpr std::size_t h = 12;
    if (headerSize < kHeaderFixed || !fits(info, h, headerSize))
        return unreadable("has an encryption header of the wrong size");
    parsed.flags = readU32(info, h);
    parsed.algId = readU32(info, h + 8);
    parsed.algIdHash = readU32(info, h + 12);
    parsed.keyBits = readU32(info, h + 16);
    parsed.providerType = readU32(info, h + 20);
    for (std::size_t at = h + kHeaderFixed; at + 1 < h + headerSize; at += 2) {
        const auto unit = static_cast<char16_t>(readU16(info, at));
        if (unit == 0)
            break;
        parsed.providerName += unit;
    }

    std::size_t v = h + headerSize;
    if (!fits(info, v, 4))
        return unreadable("has no verifier");
    const uint32_t saltSize = readU32(info, v);
    if (saltSize != 16 || !fits(info, v + 4, 16 + 16 + 4))
        return unreadable("has a verifier of the wrong size");
    parsed.salt.assign(info.begin() + static_cast<std::ptrdiff_t>(v + 4),
                       info.begin() + static_cast<std::ptrdiff_t>(v + 20));
    parsed.encryptedVerifier.assign(info.begin() + static_cast<std::ptrdiff_t>(v + 20),
                                    info.begin() + static_cast<std::ptrdiff_t>(v + 36));
    parsed.verifierHashSize = readU32(info, v + 36);
    const std::size_t hashStored = parsed.isAes() ? 32 : 20;
    if (parsed.verifierHashSize != 20 || !fits(info, v + 40, hashStored))
        return unreadable("has a verifier hash of the wrong size");
    parsed.encryptedVerifierHash.assign(info.begin() + static_cast<std::ptrdiff_t>(v + 40),
                                        info.begin() + static_cast<std::ptrdiff_t>(v + 40 + hashStored));
    return parsed;
}

std::vector<uint8_t> writeCryptoApiInfo(const CryptoApiInfo& info) {
    std::vector<uint8_t> header;
    appendU32(header, info.flags);
    appendU32(header, 0); // size extra
    appendU32(header, info.algId);
    appendU32(header, info.algIdHash);
    appendU32(header, info.keyBits);
    appendU32(header, info.providerType);
    appendU32(header, 0);
    appendU32(header, 0);
    for (char16_t unit : info.providerName)
        appendU16(header, unit);
    appendU16(header, 0);

    std::vector<uint8_t> out;
    appendU16(out, info.major);
    appendU16(out, info.minor);
    appendU32(out, info.flags);
    appendU32(out, static_cast<uint32_t>(header.size()));
    append(out, header);
    appendU32(out, static_cast<uint32_t>(info.salt.size()));
    append(out, info.salt);
    append(out, info.encryptedVerifier);
    appendU32(out, info.verifierHashSize);
    append(out, info.encryptedVerifierHash);
    return out;
}

std::vector<uint8_t> writeAgileInfo(const std::string& descriptor) {
    std::vector<uint8_t> out;
    appendU16(out, 4);
    appendU16(out, 4);
    appendU32(out, 0x40);
    out.insert(out.end(), descriptor.begin(), descriptor.end());
    return out;
}

} // namespace storage::crypto
