#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The rollback journal, little-endian:
//
//   header (48 bytes)
//   0   8  magic "TWJRNL03"
//   8   4  page size
//   12  4  reserved, 0
//   16  8  size of the database file before the batch
//   24  16 identity of the database file (see Identity)
//   40  4  CRC-32 of bytes 0..39
//   44  4  reserved, 0
//   records, one per page changed by the batch, each:
//   0   4  page number
//   4   4  n, the length of the stored page: one LZ4 block when that is shorter than the
//          page (index and data pages are partly empty), else the page as it is (n = page size)
//   8   n  the page's bytes before the batch, stored so
//   8+n 4  CRC-32 of bytes 0..8+n
//
// Replaying restores every record whose checksum holds and cuts the file back to its
// old size. A record is written before its page is first changed, and all records are
// durable before any page of the database is overwritten, so replaying a torn journal
// never misses a page that was changed.
//
// Older journals are still read, so that a crash before an upgrade is put back after it:
// "TWJRNL02" has the same header and records of page number, page as it is, CRC-32;
// "TWJRNL01" has those records after a 32-byte header without the identity (CRC at 24).
namespace storage::journal {

inline constexpr std::size_t kHeaderSize = 48;

// What tells one database file from another: the creation date and key that its header
// page was given when the database was made. A journal is replayed only onto the file
// it was written for, never onto a new database or a backup put in the old one's place.
using Identity = std::array<uint8_t, 16>;

// The CRC-32 of zip and PNG (zlib's); `seed`: the checksum of the bytes before these.
uint32_t crc32(std::span<const uint8_t> bytes, uint32_t seed = 0);

std::vector<uint8_t> encodeHeader(uint32_t pageSize, uint64_t originalSize, const Identity& identity);

struct Header {
    uint32_t pageSize = 0;
    uint64_t originalSize = 0;
    std::optional<Identity> identity; // none in a first-version journal
    bool compressedRecords = true;    // false before the third version
};
// Nullopt when the bytes are not a whole, intact header.
std::optional<Header> decodeHeader(std::span<const uint8_t> bytes);
// Whether the bytes begin as the header of a journal version later than this one knows.
bool writtenByNewerVersion(std::span<const uint8_t> bytes);
// Where the records of a journal with this header begin.
std::size_t headerSize(const Header& header);

// Into `record`, whose buffer a journal writer keeps for the next one.
void encodeRecord(uint32_t page, std::span<const uint8_t> original, std::vector<uint8_t>& record);

// Reading records: the first recordPrefixSize bytes of a record tell its whole length
// (nullopt when no intact record can begin with them); decodeRecord then gives the page
// number, with the page's original bytes in `original`, when the record is intact.
std::size_t recordPrefixSize(const Header& header);
std::optional<std::size_t> recordSize(const Header& header, std::span<const uint8_t> prefix);
std::optional<uint32_t> decodeRecord(const Header& header, std::span<const uint8_t> record,
                                     std::vector<uint8_t>& original);

} // namespace storage::journal
