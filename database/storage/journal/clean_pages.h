#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>
#include <unordered_map>
#include <vector>

namespace storage {

// Pages as the database file holds them, kept between batches so that a batch reads
// neither what earlier batches read or wrote nor, for its journal, the original bytes
// of a page it changes. The least recently used page goes first.
class CleanPages {
public:
    using Page = std::vector<uint8_t>;

    // The page, now the most recently used; nullptr when it is not kept.
    const Page* find(uint32_t number);
    // Removes the page and hands it over (a batch is about to change it).
    std::optional<Page> take(uint32_t number);
    void put(uint32_t number, Page page);
    // Drops the least recently used pages until at most `pages` are left.
    void trimTo(std::size_t pages);
    void clear();
    std::size_t size() const { return m_index.size(); }

private:
    using Entry = std::pair<uint32_t, Page>;
    std::list<Entry> m_recent; // most recently used first
    std::unordered_map<uint32_t, std::list<Entry>::iterator> m_index;
};

} // namespace storage
