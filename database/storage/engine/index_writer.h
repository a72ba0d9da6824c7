#pragma once

#include "database/storage/engine/pager.h"
#include "database/storage/table/table_definition.h"
#include "database/storage/write/index_page.h"

#include <optional>
#include <unordered_map>
#include <vector>

namespace storage {

// The B-tree of one real index, changed through the pager: lookups by key and
// insertion of entries with the page splits Access's readers expect (the root keeps
// its page, a split page's new half goes before it, node pages keep their child tail).
class IndexWriter {
public:
    IndexWriter(Pager& pager, uint32_t tablePage, const RealIndex& index);

    // Whether some entry has exactly these key bytes.
    Result<bool> containsKey(const std::vector<uint8_t>& key);
    // Adds the entry; true when its key bytes were new to the index (which is what the
    // table definition's unique-entry count counts).
    Result<bool> insert(const IndexEntry& entry);

private:
    struct PathStep {
        uint32_t page = 0;
        std::optional<std::size_t> entry; // the parent's entry that led here; nullopt: its tail
    };

    Result<IndexPage*> load(uint32_t number);
    Status store(uint32_t number);
    Result<uint32_t> newPage();
    // Root-to-leaf pages towards the first entry not less than `target`.
    Result<std::vector<PathStep>> descend(const IndexEntry& target);
    Result<IndexEntry> subtreeMaximum(uint32_t number);
    Result<std::optional<IndexEntry>> neighbour(uint32_t leaf, std::size_t position, bool before);
    Status splitOverfull(std::vector<PathStep>& path, std::vector<uint32_t>& changed);

    Pager& m_pager;
    uint32_t m_tablePage;
    RealIndex m_index;
    std::unordered_map<uint32_t, IndexPage> m_pages; // parsed pages as last written
};

} // namespace storage
