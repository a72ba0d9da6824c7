#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The rollback journal, little-endian:
//
//   header (32 bytes)
//   0   8  magic "TWJRNL01"
//   8   4  page size
//   12  4  reserved, 0
//   16  8  size of the database file before the batch
//   24  4  CRC-32 of bytes 0..23
//   28  4  reserved, 0
//   records, one per page changed by the batch, each:
//   0   4  page number
//   4   n  the page's bytes before the batch (n = page size)
//   4+n 4  CRC-32 of the page number and the bytes
//
// Replaying restores every record whose checksum holds and cuts the file back to its
// old size. A record is written before its page is first changed, and all records are
// durable before any page of the database is overwritten, so replaying a torn journal
// never misses a page that was changed.
namespace storage::journal {

inline constexpr std::size_t kHeaderSize = 32;

uint32_t crc32(std::span<const uint8_t> bytes, uint32_t seed = 0);

std::vector<uint8_t> encodeHeader(uint32_t pageSize, uint64_t originalSize);

struct Header {
    uint32_t pageSize = 0;
    uint64_t originalSize = 0;
};
// Nullopt when the bytes are not a whole, intact header.
std::optional<Header> decodeHeader(std::span<const uint8_t> bytes);

std::vector<uint8_t> encodeRecord(uint32_t page, std::span<const uint8_t> original);
// The page number when the record (4 + page size + 4 bytes) is intact.
std::optional<uint32_t> decodeRecord(std::span<const uint8_t> record, uint32_t pageSize);

} // namespace storage::journal
