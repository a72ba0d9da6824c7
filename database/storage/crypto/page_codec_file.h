#pragma once

#include "database/storage/crypto/page_codec.h"
#include "database/storage/file/file.h"

#include <memory>

namespace storage::crypto {

// The one place where pages change between their stored and their readable form:
// a File whose reads give decoded pages and whose writes store encoded ones, over the
// file as it stands on the disk. Page 0 passes unchanged. Writes of part of a page
// read, change and encode the whole page.
class PageCodecFile final : public File {
public:
    PageCodecFile(File& stored, std::shared_ptr<PageCodec> codec, uint32_t pageSize);
    PageCodecFile(std::unique_ptr<File> stored, std::shared_ptr<PageCodec> codec, uint32_t pageSize);

    Result<std::size_t> read(uint64_t offset, std::span<uint8_t> out) override;
    Status write(uint64_t offset, std::span<const uint8_t> data) override;
    Status writeGathered(uint64_t offset, std::span<const std::span<const uint8_t>> pieces) override;
    Result<uint64_t> size() override { return m_stored.size(); }
    Status sync() override { return m_stored.sync(); }
    Status truncate(uint64_t size) override { return m_stored.truncate(size); }
    Status prepareWrite(uint64_t offset, std::size_t length) override { return m_stored.prepareWrite(offset, length); }

private:
    // data, which starts at a page boundary and holds whole pages only, encoded in place.
    void encodePages(uint64_t offset, std::span<uint8_t> data);

    std::unique_ptr<File> m_owned;
    File& m_stored;
    std::shared_ptr<PageCodec> m_codec;
    uint32_t m_pageSize;
    std::vector<uint8_t> m_buffer; // pages being encoded, kept to save allocations
};

} // namespace storage::crypto
