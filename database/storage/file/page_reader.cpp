#include "database/storage/file/page_reader.h"

#include "database/storage/errors.h"

namespace storage {

PageReader::PageReader(File& file, std::string pathForMessages, uint32_t pageSize, uint32_t pageCount)
    : m_file(file), m_path(std::move(pathForMessages)), m_pageSize(pageSize), m_pageCount(pageCount) {}

void PageReader::clearCache() {
    m_recent.clear();
    m_index.clear();
}

void PageReader::store(uint32_t number, PageHandle decoded) {
    if (const auto found = m_index.find(number); found != m_index.end()) {
        m_recent.erase(found->second);
        m_index.erase(found);
    }
    remember(number, std::move(decoded));
}

Result<std::vector<uint8_t>*> PageReader::pageToChange(uint32_t number) {
    {
        auto handle = page(number); // now the most recent entry
        if (!handle)
            return handle.error();
    }
    PageHandle& cached = m_recent.front().second;
    if (cached.use_count() > 1)
        cached = std::make_shared<std::vector<uint8_t>>(*cached);
    // Every cached page was made as a vector that may change; the handle type only keeps
    // holders from changing it.
    return const_cast<std::vector<uint8_t>*>(cached.get());
}

void PageReader::remember(uint32_t number, PageHandle handle) {
    m_recent.emplace_front(number, std::move(handle));
    m_index[number] = m_recent.begin();
    if (m_recent.size() > kCacheCapacity) {
        m_index.erase(m_recent.back().first);
        m_recent.pop_back();
    }
}

Error PageReader::corrupt(uint32_t page, uint32_t offset, std::string_view check) const {
    return errors::corrupt(m_path, page, offset, check);
}

Result<PageHandle> PageReader::page(uint32_t number) {
    if (const auto found = m_index.find(number); found != m_index.end()) {
        m_recent.splice(m_recent.begin(), m_recent, found->second);
        return found->second->second;
    }
    if (number >= m_pageCount)
        return corrupt(number, 0, "page number past the end of the file (" + std::to_string(m_pageCount) + " pages)");

    auto bytes = std::make_shared<std::vector<uint8_t>>(m_pageSize);
    auto got = m_file.read(static_cast<uint64_t>(number) * m_pageSize, *bytes);
    if (!got)
        return got.error();
    if (*got != m_pageSize)
        return corrupt(number, static_cast<uint32_t>(*got), "page cut short by the end of the file");

    PageHandle handle = std::move(bytes);
    remember(number, handle);
    return handle;
}

} // namespace storage
