#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The rollback journal, little-endian:
//
//   header (48 bytes)
//   0   8  magic "TWJRNL02"
//   8   4  page size
//   12  4  reserved, 0
//   16  8  size of the database file before the batch
//   24  16 identity of the database file (see Identity)
//   40  4  CRC-32 of bytes 0..39
//   44  4  reserved, 0
//   records, one per page changed by the batch, each:
//   0   4  page number
//   4   n  the page's bytes before the batch (n = page size)
//   4+n 4  CRC-32 of the page number and the bytes
//
// Replaying restores every record whose checksum holds and cuts the file back to its
// old size. A record is written before its page is first changed, and all records are
// durable before any page of the database is overwritten, so replaying a torn journal
// never misses a page that was changed.
//
// Journals of the first version ("TWJRNL01", 32 bytes: the CRC at 24) carry no identity;
// they are still read, so that a crash before an upgrade is put back after it.
namespace storage::journal {

inline constexpr std::size_t kHeaderSize = 48;

// What tells one database file from another: the creation date and key that its header
// page was given when the database was made. A journal is replayed only onto the file
// it was written for, never onto a new database or a backup put in the old one's place.
using Identity = std::array<uint8_t, 16>;

uint32_t crc32(std::span<const uint8_t> bytes, uint32_t seed = 0);

std::vector<uint8_t> encodeHeader(uint32_t pageSize, uint64_t originalSize, const Identity& identity);

struct Header {
    uint32_t pageSize = 0;
    uint64_t originalSize = 0;
    std::optional<Identity> identity; // none in a first-version journal
};
// Nullopt when the bytes are not a whole, intact header.
std::optional<Header> decodeHeader(std::span<const uint8_t> bytes);
// Where the records of a journal with this header begin.
std::size_t headerSize(const Header& header);

std::vector<uint8_t> encodeRecord(uint32_t page, std::span<const uint8_t> original);
// The page number when the record (4 + page size + 4 bytes) is intact.
std::optional<uint32_t> decodeRecord(std::span<const uint8_t> record, uint32_t pageSize);

} // namespace storage::journal
