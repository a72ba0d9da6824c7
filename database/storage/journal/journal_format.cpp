#include "database/storage/journal/journal_format.h"

#include "database/storage/format/bytes.h"

#include <array>
#include <cstring>

namespace storage::journal {

namespace {

constexpr std::array<uint8_t, 8> kMagic = {'T', 'W', 'J', 'R', 'N', 'L', '0', '2'};
constexpr std::array<uint8_t, 8> kFirstMagic = {'T', 'W', 'J', 'R', 'N', 'L', '0', '1'};
constexpr std::size_t kFirstHeaderSize = 32;

// The CRC-32 table, and three more that let the checksum take four bytes a step.
using CrcTables = std::array<std::array<uint32_t, 256>, 4>;

const CrcTables& crcTables() {
    static const CrcTables tables = [] {
        CrcTables made{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            made[0][n] = c;
        }
        for (std::size_t t = 1; t < made.size(); ++t)
            for (uint32_t n = 0; n < 256; ++n)
                made[t][n] = (made[t - 1][n] >> 8) ^ made[0][made[t - 1][n] & 0xFF];
        return made;
    }();
    return tables;
}

} // namespace

uint32_t crc32(std::span<const uint8_t> bytes, uint32_t seed) {
    const CrcTables& t = crcTables();
    uint32_t c = seed ^ 0xFFFFFFFFu;
    std::size_t at = 0;
    for (; at + 4 <= bytes.size(); at += 4) {
        c ^= static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
             static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
        c = t[3][c & 0xFF] ^ t[2][(c >> 8) & 0xFF] ^ t[1][(c >> 16) & 0xFF] ^ t[0][c >> 24];
    }
    for (; at < bytes.size(); ++at)
        c = t[0][(c ^ bytes[at]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::vector<uint8_t> encodeHeader(uint32_t pageSize, uint64_t originalSize, const Identity& identity) {
    std::vector<uint8_t> header(kHeaderSize, 0);
    std::memcpy(header.data(), kMagic.data(), kMagic.size());
    writeU32(header, 8, pageSize);
    writeU64(header, 16, originalSize);
    std::memcpy(header.data() + 24, identity.data(), identity.size());
    writeU32(header, 40, crc32(std::span(header).first(40)));
    return header;
}

std::optional<Header> decodeHeader(std::span<const uint8_t> bytes) {
    const bool first =
        bytes.size() >= kFirstHeaderSize && std::memcmp(bytes.data(), kFirstMagic.data(), kFirstMagic.size()) == 0;
    const bool current = bytes.size() >= kHeaderSize && std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) == 0;
    if (!first && !current)
        return std::nullopt;
    const std::size_t crcAt = first ? 24 : 40;
    if (readU32(bytes, crcAt) != crc32(bytes.first(crcAt)))
        return std::nullopt;
    Header header{readU32(bytes, 8), readU64(bytes, 16), std::nullopt};
    if (current) {
        header.identity.emplace();
        std::memcpy(header.identity->data(), bytes.data() + 24, header.identity->size());
    }
    if (header.pageSize == 0 || header.pageSize > 65536)
        return std::nullopt;
    return header;
}

std::size_t headerSize(const Header& header) {
    return header.identity ? kHeaderSize : kFirstHeaderSize;
}

std::vector<uint8_t> encodeRecord(uint32_t page, std::span<const uint8_t> original) {
    std::vector<uint8_t> record(4 + original.size() + 4);
    writeU32(record, 0, page);
    std::memcpy(record.data() + 4, original.data(), original.size());
    writeU32(record, 4 + original.size(), crc32(std::span(record).first(4 + original.size())));
    return record;
}

std::optional<uint32_t> decodeRecord(std::span<const uint8_t> record, uint32_t pageSize) {
    const std::size_t body = 4 + static_cast<std::size_t>(pageSize);
    if (record.size() < body + 4 || readU32(record, body) != crc32(record.first(body)))
        return std::nullopt;
    return readU32(record, 0);
}

} // namespace storage::journal
