#pragma once

#include "database/storage/check/check_report.h"
#include "database/storage/file/page_reader.h"
#include "database/storage/write/index_page.h"

#include <string>
#include <vector>

namespace storage::check {

struct LeafEntry {
    IndexEntry entry;
    uint32_t leafPage = 0;
};

struct IndexTree {
    std::vector<LeafEntry> entries; // every leaf entry, in tree order
    std::vector<uint32_t> pages;    // every page reached from the root
};

// Walks the B-tree of one real index from its root and reports where it is not well
// formed: pages that are not index pages of the table or whose free space contradicts
// their entries, node entries that are not a copy of their child's last entry, node
// pages that break the child-tail rule, leaves at different depths, empty pages below
// the root, leaf sibling links that differ from the tree order, and entries that are
// not strictly ascending (key bytes, then row page, then row).
IndexTree walkIndexTree(PageReader& pages, uint32_t tablePage, uint32_t rootPage, const std::string& object,
                        FindingCollector& findings);

} // namespace storage::check
