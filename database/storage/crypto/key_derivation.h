#pragma once

// Keys derived from a database password, for the Office encryption schemes an
// encrypted ACCDB file uses. Every page has a block key: the four little-endian
// bytes of (page number XOR the database key in the header); the password
// verifiers of the CryptoAPI and standard schemes use block key 0.

#include "database/storage/crypto/digest.h"
#include "database/storage/format/bytes.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace storage::crypto {

using BlockKey = std::array<uint8_t, 4>;
BlockKey blockKey(uint32_t value);
BlockKey pageBlockKey(uint32_t databaseKey, uint32_t page);

// The password as the schemes hash it: UTF-16LE, no terminator, at most 255 characters.
std::vector<uint8_t> passwordBytes(std::u16string_view password);

// RC4 through CryptoAPI. The base hash is SHA1(salt ‖ password); the key for a
// block is the first keyBits/8 bytes of SHA1(base ‖ block), and a 40-bit key is
// padded with zeros to 16 bytes.
std::vector<uint8_t> rc4CryptoApiBase(Bytes salt, Bytes password);
std::vector<uint8_t> rc4CryptoApiKey(Digest& sha1, Bytes base, BlockKey block, uint32_t keyBits);

// Standard AES encryption (50,000 spins; 0 for the non-standard variant): the base
// hash spun, then per block two SHA-1 rounds over 0x36 and 0x5C fillers.
std::vector<uint8_t> standardBase(Bytes salt, Bytes password, uint32_t spins);
std::vector<uint8_t> standardKey(Digest& sha1, Bytes base, BlockKey block, uint32_t keyBits);

// Agile encryption. The base: hash(salt ‖ password), then spinCount rounds of
// hash(LE32(i) ‖ H). A key for one of the fixed block keys is hash(base ‖ block)
// cut or 0x36-padded to keyBits/8; an IV is hash(salt ‖ block) cut or padded to blockSize.
std::vector<uint8_t> agileBase(Digest& hash, Bytes salt, Bytes password, uint32_t spinCount);
std::vector<uint8_t> agileKey(Digest& hash, Bytes base, Bytes block, uint32_t keyBits);
std::vector<uint8_t> agileIv(Digest& hash, Bytes salt, Bytes block, uint32_t blockSize);

inline constexpr std::array<uint8_t, 8> kVerifierInputBlock{0xFE, 0xA7, 0xD2, 0x76, 0x3B, 0x4B, 0x9E, 0x79};
inline constexpr std::array<uint8_t, 8> kVerifierHashBlock{0xD7, 0xAA, 0x0F, 0x6D, 0x30, 0x61, 0x34, 0x4E};
inline constexpr std::array<uint8_t, 8> kKeyValueBlock{0x14, 0x6E, 0x0B, 0xE7, 0xAB, 0xAC, 0xD0, 0xD6};

// Cuts value to length, or pads it with 0x36 bytes.
std::vector<uint8_t> fitTo(std::vector<uint8_t> value, std::size_t length);
// Equality that takes the same time wherever the first difference lies.
bool sameBytes(Bytes a, Bytes b);

} // namespace storage::crypto
