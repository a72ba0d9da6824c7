#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace storage {

// The RC4 stream cipher. Jet uses it for the header mask and to encode pages;
// it is obfuscation with a key stored in the file, not protection.
class Rc4 {
public:
    explicit Rc4(std::span<const uint8_t> key);
    // XORs data with the next keystream bytes; applying it twice restores the data.
    void apply(std::span<uint8_t> data);

private:
    std::array<uint8_t, 256> m_state{};
    uint8_t m_i = 0;
    uint8_t m_j = 0;
};

} // namespace storage
