#include "database/storage/journal/journal_format.h"

#include "database/storage/format/bytes.h"

#include <lz4.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace storage::journal {

namespace {

constexpr std::array<uint8_t, 8> kMagic = {'T', 'W', 'J', 'R', 'N', 'L', '0', '3'};
constexpr std::array<uint8_t, 8> kSecondMagic = {'T', 'W', 'J', 'R', 'N', 'L', '0', '2'};
constexpr std::array<uint8_t, 8> kFirstMagic = {'T', 'W', 'J', 'R', 'N', 'L', '0', '1'};
constexpr std::size_t kFirstHeaderSize = 32;
constexpr std::size_t kCrcSize = 4;
// LZ4's speed setting: a little less compression than its default for a quarter of the
// time. The journal is written while the statements run.
constexpr int kCompressionAcceleration = 4;

bool hasMagic(std::span<const uint8_t> bytes, const std::array<uint8_t, 8>& magic, std::size_t headerSize) {
    return bytes.size() >= headerSize && std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

} // namespace

uint32_t crc32(std::span<const uint8_t> bytes, uint32_t seed) {
    uLong crc = seed;
    while (!bytes.empty()) { // in pieces that zlib's length type takes
        const std::size_t piece = std::min<std::size_t>(bytes.size(), std::size_t{1} << 30);
        crc = ::crc32(crc, bytes.data(), static_cast<uInt>(piece));
        bytes = bytes.subspan(piece);
    }
    return static_cast<uint32_t>(crc);
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
    const bool first = hasMagic(bytes, kFirstMagic, kFirstHeaderSize);
    const bool second = hasMagic(bytes, kSecondMagic, kHeaderSize);
    const bool current = hasMagic(bytes, kMagic, kHeaderSize);
    if (!first && !second && !current)
        return std::nullopt;
    const std::size_t crcAt = first ? 24 : 40;
    if (readU32(bytes, crcAt) != crc32(bytes.first(crcAt)))
        return std::nullopt;
    Header header{readU32(bytes, 8), readU64(bytes, 16), std::nullopt, current};
    if (!first) {
        header.identity.emplace();
        std::memcpy(header.identity->data(), bytes.data() + 24, header.identity->size());
    }
    if (header.pageSize == 0 || header.pageSize > 65536)
        return std::nullopt;
    return header;
}

bool writtenByNewerVersion(std::span<const uint8_t> bytes) {
    if (bytes.size() < kMagic.size() || std::memcmp(bytes.data(), kMagic.data(), 6) != 0)
        return false;
    const auto digit = [&](std::size_t at) { return bytes[at] >= '0' && bytes[at] <= '9'; };
    if (!digit(6) || !digit(7))
        return false;
    const auto version = [](uint8_t tens, uint8_t units) { return (tens - '0') * 10 + (units - '0'); };
    return version(bytes[6], bytes[7]) > version(kMagic[6], kMagic[7]);
}

std::size_t headerSize(const Header& header) {
    return header.identity ? kHeaderSize : kFirstHeaderSize;
}

void encodeRecord(uint32_t page, std::span<const uint8_t> original, std::vector<uint8_t>& record) {
    record.resize(8 + original.size() + kCrcSize);
    writeU32(record, 0, page);
    const auto into = reinterpret_cast<char*>(record.data() + 8);
    // Compressed only when that is shorter than the page (capacity one byte less).
    int stored =
        LZ4_compress_fast(reinterpret_cast<const char*>(original.data()), into, static_cast<int>(original.size()),
                          static_cast<int>(original.size()) - 1, kCompressionAcceleration);
    if (stored <= 0) {
        std::memcpy(into, original.data(), original.size());
        stored = static_cast<int>(original.size());
    }
    const std::size_t body = 8 + static_cast<std::size_t>(stored);
    writeU32(record, 4, static_cast<uint32_t>(stored));
    record.resize(body + kCrcSize);
    writeU32(record, body, crc32(std::span(record).first(body)));
}

std::size_t recordPrefixSize(const Header& header) {
    return header.compressedRecords ? 8 : 4 + static_cast<std::size_t>(header.pageSize) + kCrcSize;
}

std::optional<std::size_t> recordSize(const Header& header, std::span<const uint8_t> prefix) {
    if (prefix.size() < recordPrefixSize(header))
        return std::nullopt;
    if (!header.compressedRecords)
        return recordPrefixSize(header);
    const uint32_t stored = readU32(prefix, 4);
    if (stored == 0 || stored > header.pageSize)
        return std::nullopt;
    return 8 + static_cast<std::size_t>(stored) + kCrcSize;
}

std::optional<uint32_t> decodeRecord(const Header& header, std::span<const uint8_t> record,
                                     std::vector<uint8_t>& original) {
    const std::optional<std::size_t> size = recordSize(header, record);
    if (!size || record.size() < *size)
        return std::nullopt;
    const std::size_t body = *size - kCrcSize;
    if (readU32(record, body) != crc32(record.first(body)))
        return std::nullopt;
    original.resize(header.pageSize);
    const std::size_t start = header.compressedRecords ? 8 : 4;
    const std::span<const uint8_t> stored = record.subspan(start, body - start);
    if (stored.size() == header.pageSize) {
        std::memcpy(original.data(), stored.data(), stored.size());
    } else if (LZ4_decompress_safe(reinterpret_cast<const char*>(stored.data()),
                                   reinterpret_cast<char*>(original.data()), static_cast<int>(stored.size()),
                                   static_cast<int>(original.size())) != static_cast<int>(header.pageSize)) {
        return std::nullopt;
    }
    return readU32(record, 0);
}

} // namespace storage::journal
