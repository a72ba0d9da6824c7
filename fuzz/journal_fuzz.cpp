// Arbitrary bytes as the records of a journal found beside a database, read as recovery
// reads them. The harness gives the journal an intact header and makes every record's
// checksum hold, so that what lies behind the checksums (record lengths, LZ4 blocks,
// pages of the older format) is what gets tried. Any crash, hang, leak or out-of-bounds
// access is a bug; a record that is not intact simply ends the journal.

#include "database/storage/format/bytes.h"
#include "database/storage/journal/journal_format.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr uint32_t kPageSize = 4096;

// The first byte chooses the record format: odd for the previous version's whole pages.
std::vector<uint8_t> journalOf(const uint8_t* data, std::size_t size) {
    using namespace storage;
    std::vector<uint8_t> bytes = journal::encodeHeader(kPageSize, 16 * kPageSize, journal::Identity{});
    const bool previous = size > 0 && (data[0] & 1);
    if (previous) {
        bytes[7] = '2';
        writeU32(bytes, 40, journal::crc32(std::span(bytes).first(40)));
    }
    if (size > 0)
        bytes.insert(bytes.end(), data + 1, data + size);
    const std::size_t prefix = previous ? 4 : 8;
    for (std::size_t at = journal::kHeaderSize; at + prefix <= bytes.size();) {
        const std::size_t stored = previous ? kPageSize : readU32(bytes, at + 4);
        const std::size_t body = prefix + stored;
        if (stored == 0 || stored > kPageSize || at + body + 4 > bytes.size())
            break;
        writeU32(bytes, at + body, journal::crc32(std::span(bytes).subspan(at, body)));
        at += body + 4;
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace storage;
    const std::vector<uint8_t> bytes = journalOf(data, size);
    const std::optional<journal::Header> header = journal::decodeHeader(bytes);
    if (!header)
        std::abort(); // the harness wrote an intact header
    std::vector<uint8_t> original;
    for (std::size_t at = journal::headerSize(*header); at < bytes.size();) {
        const std::span<const uint8_t> rest = std::span(bytes).subspan(at);
        const std::optional<std::size_t> length =
            journal::recordSize(*header, rest.first(std::min(rest.size(), journal::recordPrefixSize(*header))));
        if (!length || *length > rest.size())
            break;
        if (!journal::decodeRecord(*header, rest.first(*length), original))
            break;
        if (original.size() != kPageSize)
            std::abort(); // a record gives back a whole page or nothing
        at += *length;
    }
    return 0;
}
