// Arbitrary bytes as the records of a journal found beside a database, put back by the
// recovery every open runs. The harness gives the journal an intact header and makes
// every record's checksum hold, so that what lies behind the checksums (record lengths,
// LZ4 blocks, pages of the older format) is what gets tried. Any crash, hang, leak or
// out-of-bounds access is a bug, and so is a database not cut back to its old length.

#include "database/storage/file/memory_file.h"
#include "database/storage/format/bytes.h"
#include "database/storage/journal/journal_format.h"
#include "database/storage/journal/journaled_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kPageSize = 4096;
constexpr uint64_t kOriginalSize = 16 * kPageSize;

// The journal, in memory, as recovery finds it.
class FoundJournal final : public storage::JournalLocation {
public:
    explicit FoundJournal(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    storage::Result<std::unique_ptr<storage::File>> create() override { return std::unique_ptr<storage::File>(); }
    storage::Result<std::unique_ptr<storage::File>> openExisting() override {
        return std::unique_ptr<storage::File>(std::make_unique<storage::MemoryFile>(m_bytes));
    }
    storage::Status remove() override { return storage::Status::ok(); }
    storage::Result<std::string> setAside() override { return std::string("set aside"); }

private:
    std::vector<uint8_t> m_bytes;
};

// The first byte chooses the record format: odd for the previous version's whole pages.
std::vector<uint8_t> journalOf(const uint8_t* data, std::size_t size) {
    using namespace storage;
    std::vector<uint8_t> bytes = journal::encodeHeader(kPageSize, kOriginalSize, journal::Identity{});
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
    FoundJournal journal(journalOf(data, size));
    MemoryFile database(std::vector<uint8_t>(kOriginalSize + 2 * kPageSize, 0x11)); // grown by the batch
    auto recovered = JournaledFile::recover(database, journal, journal::Identity{});
    if (!recovered || recovered->outcome != JournaledFile::Recovery::Outcome::Restored ||
        database.bytes().size() != kOriginalSize)
        std::abort(); // an intact header always puts the file back to its old length
    return 0;
}
