#pragma once

#include "database/storage/file/file.h"
#include "database/storage/file/page_reader.h"
#include "database/storage/status.h"

#include <cstdint>
#include <vector>

namespace storage {

// Whole pages of a database opened for writing: reads through the page reader's cache,
// writes that keep the cache right, and new pages appended
// at the end of the file and marked used in the database's global usage map (page 1).
class Pager {
public:
    // The largest file Jet 4 and ACE address.
    static constexpr uint64_t kMaxFileSize = 2ull * 1024 * 1024 * 1024;

    // `file` takes pages as they read; encoding them for the disk is its business.
    Pager(File& file, PageReader& reader);

    Result<PageHandle> read(uint32_t number) { return m_reader.page(number); }
    Status write(uint32_t number, std::vector<uint8_t> page);
    // The page as it reads, to be changed in place and then written with writeChanged
    // before the pager is used for anything else; saves copying the page for a small
    // change. A statement that fails after changing it must clear the page cache.
    Result<std::vector<uint8_t>*> pageToChange(uint32_t number) { return m_reader.pageToChange(number); }
    Status writeChanged(uint32_t number, const std::vector<uint8_t>& page);
    // The same when only `length` bytes at `from` changed.
    Status writeChanged(uint32_t number, const std::vector<uint8_t>& page, std::size_t from, std::size_t length);
    // Readies the page for a write that comes later (before the next commit), so that
    // the write then needs no room on the disk.
    Status prepareWrite(uint32_t number) {
        return m_file.prepareWrite(static_cast<uint64_t>(number) * pageSize(), pageSize());
    }
    // A new, zero-filled page at the end of the file, marked used. Fails with Jet's
    // "Invalid argument." (3001) when the file would pass 2 GB.
    Result<uint32_t> allocate();

    PageReader& reader() { return m_reader; }
    uint32_t pageCount() const { return m_reader.pageCount(); }
    uint32_t pageSize() const { return m_reader.pageSize(); }

private:
    Status markUsed(uint32_t number);
    Status markUsedInReferenceMap(std::vector<uint8_t>& mapPage, std::size_t rowStart, std::size_t rowEnd,
                                  uint32_t number);

    File& m_file;
    PageReader& m_reader;
};

} // namespace storage
