#pragma once

#include "database/storage/file/file.h"
#include "database/storage/format/bytes.h"

#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace storage {

// One page's bytes. Shared so that a page stays valid for its holder after
// the cache has dropped it.
using PageHandle = std::shared_ptr<const std::vector<uint8_t>>;

// Reads whole pages through a small cache. The file gives pages as they read
// (decoded by a PageCodecFile when the file is encoded or encrypted); it is never
// read whole.
class PageReader {
public:
    PageReader(File& file, std::string pathForMessages, uint32_t pageSize, uint32_t pageCount);

    // Fails with a corruption error when the page lies past the end of the file.
    Result<PageHandle> page(uint32_t number);

    // For writers: the page as it now reads (already decoded), a longer file, and a
    // cache to forget after changes were dropped.
    void store(uint32_t number, PageHandle decoded);
    // The cached page itself, to change in place: copied first if a handle to it is
    // still held elsewhere, so that holders keep what they read.
    Result<std::vector<uint8_t>*> pageToChange(uint32_t number);
    void setPageCount(uint32_t pageCount) { m_pageCount = pageCount; }
    void clearCache();

    uint32_t pageSize() const { return m_pageSize; }
    uint32_t pageCount() const { return m_pageCount; }
    const std::string& path() const { return m_path; }
    // Corruption error for this file at page/offset.
    Error corrupt(uint32_t page, uint32_t offset, std::string_view check) const;

private:
    static constexpr std::size_t kCacheCapacity = 64;

    File& m_file;
    std::string m_path;
    uint32_t m_pageSize;
    uint32_t m_pageCount;
    void remember(uint32_t number, PageHandle handle);
    std::list<std::pair<uint32_t, PageHandle>> m_recent; // most recently used first
    std::unordered_map<uint32_t, std::list<std::pair<uint32_t, PageHandle>>::iterator> m_index;
};

} // namespace storage
