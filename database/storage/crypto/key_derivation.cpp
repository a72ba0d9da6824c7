#include "database/storage/crypto/key_derivation.h"

#include <algorithm>
#include <mutex>

namespace storage::crypto {

BlockKey blockKey(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

BlockKey pageBlockKey(uint32_t databaseKey, uint32_t page) {
    return blockKey(databaseKey ^ page);
}

std::vector<uint8_t> passwordBytes(std::u16string_view password) {
    constexpr std::size_t kMostCharacters = 255;
    password = password.substr(0, kMostCharacters);
    std::vector<uint8_t> bytes;
    bytes.reserve(password.size() * 2);
    for (char16_t unit : password) {
        bytes.push_back(static_cast<uint8_t>(unit));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

std::vector<uint8_t> rc4CryptoApiBase(Bytes salt, Bytes password) {
    return Digest::sha1()->of({salt, password});
}

std::vector<uint8_t> rc4CryptoApiKey(Digest& sha1, Bytes base, BlockKey block, uint32_t keyBits) {
    std::vector<uint8_t> key = sha1.of({base, block});
    key.resize(keyBits / 8);
    if (keyBits == 40)
        key.resize(16, 0); // CryptoAPI keys a 40-bit RC4 with 128 bits, the last 88 zero
    return key;
}

namespace {

std::vector<uint8_t> spinRounds(Digest& hash, std::vector<uint8_t> value, uint32_t rounds) {
    for (uint32_t i = 0; i < rounds; ++i) {
        const BlockKey counter = blockKey(i);
        hash.into({counter, value}, value.data());
    }
    return value;
}

// The last spun hash, so that the connections one import opens one after another spin
// once. It is found by a digest of what it was spun from (the first hash, which differs
// by algorithm, salt and password), so the password itself is not kept.
struct LastSpin {
    std::mutex mutex;
    std::vector<uint8_t> from;
    std::vector<uint8_t> result;
};

std::vector<uint8_t> spin(Digest& hash, std::vector<uint8_t> value, uint32_t rounds) {
    if (rounds == 0)
        return value;
    static LastSpin last;
    const BlockKey count = blockKey(rounds);
    const BlockKey size = blockKey(static_cast<uint32_t>(hash.size()));
    const std::vector<uint8_t> from = Digest::named("SHA256")->of({count, size, value});
    {
        std::lock_guard lock(last.mutex);
        if (last.from == from)
            return last.result;
    }
    std::vector<uint8_t> result = spinRounds(hash, std::move(value), rounds);
    std::lock_guard lock(last.mutex);
    last.from = from;
    last.result = result;
    return result;
}

} // namespace

std::vector<uint8_t> standardBase(Bytes salt, Bytes password, uint32_t spins) {
    auto sha1 = Digest::sha1();
    return spin(*sha1, sha1->of({salt, password}), spins);
}

std::vector<uint8_t> standardKey(Digest& sha1, Bytes base, BlockKey block, uint32_t keyBits) {
    const std::vector<uint8_t> final = sha1.of({base, block});
    std::array<uint8_t, 64> inner{};
    std::array<uint8_t, 64> outer{};
    inner.fill(0x36);
    outer.fill(0x5C);
    for (std::size_t i = 0; i < final.size(); ++i) {
        inner[i] ^= final[i];
        outer[i] ^= final[i];
    }
    std::vector<uint8_t> key = sha1.of({inner});
    const std::vector<uint8_t> second = sha1.of({outer});
    key.insert(key.end(), second.begin(), second.end());
    key.resize(keyBits / 8);
    return key;
}

std::vector<uint8_t> agileBase(Digest& hash, Bytes salt, Bytes password, uint32_t spinCount) {
    return spin(hash, hash.of({salt, password}), spinCount);
}

std::vector<uint8_t> fitTo(std::vector<uint8_t> value, std::size_t length) {
    value.resize(length, 0x36);
    return value;
}

std::vector<uint8_t> agileKey(Digest& hash, Bytes base, Bytes block, uint32_t keyBits) {
    return fitTo(hash.of({base, block}), keyBits / 8);
}

std::vector<uint8_t> agileIv(Digest& hash, Bytes salt, Bytes block, uint32_t blockSize) {
    return fitTo(hash.of({salt, block}), blockSize);
}

bool sameBytes(Bytes a, Bytes b) {
    if (a.size() != b.size())
        return false;
    uint8_t difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        difference = static_cast<uint8_t>(difference | (a[i] ^ b[i]));
    return difference == 0;
}

} // namespace storage::crypto
