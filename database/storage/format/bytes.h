#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

// Little-endian reads from untrusted bytes. Parsers check ranges with fits()
// and report the damage; the readers themselves also return 0 out of range,
// so that a missed check can never read outside the buffer.
namespace storage {

using Bytes = std::span<const uint8_t>;

inline bool fits(Bytes bytes, std::size_t offset, std::size_t count) {
    return offset <= bytes.size() && count <= bytes.size() - offset;
}

inline uint8_t readU8(Bytes bytes, std::size_t offset) {
    return offset < bytes.size() ? bytes[offset] : 0;
}

inline uint16_t readU16(Bytes bytes, std::size_t offset) {
    if (!fits(bytes, offset, 2))
        return 0;
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline uint32_t readU32(Bytes bytes, std::size_t offset) {
    if (!fits(bytes, offset, 4))
        return 0;
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) | (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

inline uint64_t readU64(Bytes bytes, std::size_t offset) {
    if (!fits(bytes, offset, 8))
        return 0;
    return static_cast<uint64_t>(readU32(bytes, offset)) | (static_cast<uint64_t>(readU32(bytes, offset + 4)) << 32);
}

inline int16_t readI16(Bytes bytes, std::size_t offset) {
    return static_cast<int16_t>(readU16(bytes, offset));
}
inline int32_t readI32(Bytes bytes, std::size_t offset) {
    return static_cast<int32_t>(readU32(bytes, offset));
}
inline int64_t readI64(Bytes bytes, std::size_t offset) {
    return static_cast<int64_t>(readU64(bytes, offset));
}
inline float readF32(Bytes bytes, std::size_t offset) {
    return std::bit_cast<float>(readU32(bytes, offset));
}
inline double readF64(Bytes bytes, std::size_t offset) {
    return std::bit_cast<double>(readU64(bytes, offset));
}

// Little-endian writes, into bytes the caller has made long enough.
inline void writeU16(std::span<uint8_t> bytes, std::size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}
inline void writeU32(std::span<uint8_t> bytes, std::size_t offset, uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}
inline void writeU64(std::span<uint8_t> bytes, std::size_t offset, uint64_t value) {
    writeU32(bytes, offset, static_cast<uint32_t>(value));
    writeU32(bytes, offset + 4, static_cast<uint32_t>(value >> 32));
}

// A row pointer: row number in the low byte, page number in the upper 24 bits.
struct RowPointer {
    uint32_t page = 0;
    uint8_t row = 0;
    static RowPointer fromRaw(uint32_t raw) { return {raw >> 8, static_cast<uint8_t>(raw & 0xFF)}; }
    bool isNull() const { return page == 0 && row == 0; }
};

} // namespace storage
