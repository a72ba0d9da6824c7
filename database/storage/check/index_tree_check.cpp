#include "database/storage/check/index_tree_check.h"

#include <optional>
#include <set>

namespace storage::check {

namespace {

constexpr int kMaxDepth = 32;
constexpr std::size_t kMaskOffset = 0x1B;

bool sameReference(const IndexEntry& a, const IndexEntry& b) {
    return a.key == b.key && a.page == b.page && a.row == b.row;
}

std::string reference(const IndexEntry& entry) {
    return "row " + std::to_string(entry.page) + ":" + std::to_string(entry.row);
}

// Bytes of entry data the mask says the page holds: up to its last set bit.
std::size_t storedEntryBytes(Bytes page) {
    for (std::size_t position = (kIndexEntriesOffset - kMaskOffset) * 8; position-- > 0;)
        if (page[kMaskOffset + position / 8] & (1u << (position % 8)))
            return position;
    return 0;
}

class TreeWalker {
public:
    TreeWalker(PageReader& pages, uint32_t tablePage, const std::string& object, FindingCollector& findings)
        : m_pages(pages), m_tablePage(tablePage), m_object(object), m_findings(findings) {}

    IndexTree walk(uint32_t root) {
        visit(root, 0);
        checkLeafChain();
        checkOrder();
        return std::move(m_tree);
    }

private:
    struct Leaf {
        uint32_t page, previous, next;
    };

    void fault(uint32_t page, std::string text) { m_findings.fault(page, m_object, std::move(text)); }

    // The largest entry of the subtree, when it has one that could be read.
    std::optional<IndexEntry> visit(uint32_t number, int depth);
    std::optional<IndexEntry> visitNode(uint32_t number, const IndexPage& node, int depth);
    void checkLeafChain();
    void checkOrder();

    PageReader& m_pages;
    uint32_t m_tablePage;
    const std::string& m_object;
    FindingCollector& m_findings;
    IndexTree m_tree;
    std::set<uint32_t> m_visited;
    std::vector<Leaf> m_leaves;
    std::optional<int> m_leafDepth;
};

std::optional<IndexEntry> TreeWalker::visit(uint32_t number, int depth) {
    if (depth > kMaxDepth) {
        fault(number, "index deeper than " + std::to_string(kMaxDepth) + " levels");
        return std::nullopt;
    }
    if (number == 0 || number >= m_pages.pageCount()) {
        fault(number, "index names page " + std::to_string(number) + ", which is not in the file");
        return std::nullopt;
    }
    if (!m_visited.insert(number).second) {
        fault(number, "index page reached twice from the root");
        return std::nullopt;
    }
    m_tree.pages.push_back(number);
    auto bytes = m_pages.page(number);
    if (!bytes) {
        fault(number, bytes.error().description);
        return std::nullopt;
    }
    auto page = parseIndexPage(**bytes, number);
    if (!page) {
        fault(number, page.error().description);
        return std::nullopt;
    }
    if (page->owner != m_tablePage)
        fault(number, "index page names table definition page " + std::to_string(page->owner));
    const std::size_t stored = storedEntryBytes(**bytes);
    const long expectedFree = static_cast<long>(m_pages.pageSize() - kIndexEntriesOffset) - static_cast<long>(stored);
    if (readU16(**bytes, 2) != expectedFree)
        fault(number, "free space " + std::to_string(readU16(**bytes, 2)) + " but " + std::to_string(stored) +
                          " bytes of entries");
    if (!page->leaf)
        return visitNode(number, *page, depth);

    if (!m_leafDepth)
        m_leafDepth = depth;
    else if (*m_leafDepth != depth)
        fault(number, "leaf at depth " + std::to_string(depth) + ", others at " + std::to_string(*m_leafDepth));
    if (page->entries.empty() && depth > 0)
        fault(number, "empty leaf page below the root");
    m_leaves.push_back({number, page->previous, page->next});
    for (const IndexEntry& entry : page->entries)
        m_tree.entries.push_back({entry, number});
    if (page->entries.empty())
        return std::nullopt;
    return page->entries.back();
}

std::optional<IndexEntry> TreeWalker::visitNode(uint32_t number, const IndexPage& node, int depth) {
    if (node.entries.empty() && node.childTail == 0) {
        fault(number, "node page without children");
        return std::nullopt;
    }
    // Several children: the last is the tail and has no entry. One child: an entry, no tail.
    if (node.childTail == 0 && node.entries.size() > 1)
        fault(number, "node page with " + std::to_string(node.entries.size()) + " children has no child tail");
    if (node.childTail != 0 && node.entries.empty())
        fault(number, "node page whose only child is its tail");
    for (std::size_t i = 0; i < node.entries.size(); ++i) {
        const IndexEntry& entry = node.entries[i];
        const std::optional<IndexEntry> maximum = visit(entry.child, depth + 1);
        if (maximum && !sameReference(*maximum, entry))
            fault(number, "entry " + std::to_string(i) + " (" + reference(entry) + ") for child page " +
                              std::to_string(entry.child) + " differs from the child's last entry (" +
                              reference(*maximum) + ")");
    }
    if (node.childTail != 0)
        return visit(node.childTail, depth + 1);
    if (node.entries.empty())
        return std::nullopt;
    IndexEntry last = node.entries.back();
    last.child = 0;
    return last;
}

void TreeWalker::checkLeafChain() {
    for (std::size_t i = 0; i < m_leaves.size(); ++i) {
        const uint32_t previous = i == 0 ? 0 : m_leaves[i - 1].page;
        const uint32_t next = i + 1 == m_leaves.size() ? 0 : m_leaves[i + 1].page;
        if (m_leaves[i].previous != previous || m_leaves[i].next != next)
            fault(m_leaves[i].page, "leaf links to previous " + std::to_string(m_leaves[i].previous) + " and next " +
                                        std::to_string(m_leaves[i].next) + ", the tree order gives " +
                                        std::to_string(previous) + " and " + std::to_string(next));
    }
}

void TreeWalker::checkOrder() {
    for (std::size_t i = 1; i < m_tree.entries.size(); ++i)
        if (!indexEntryLess(m_tree.entries[i - 1].entry, m_tree.entries[i].entry))
            fault(m_tree.entries[i].leafPage, "entry for " + reference(m_tree.entries[i].entry) +
                                                  " does not sort after the entry before it (" +
                                                  reference(m_tree.entries[i - 1].entry) + ")");
}

} // namespace

IndexTree walkIndexTree(PageReader& pages, uint32_t tablePage, uint32_t rootPage, const std::string& object,
                        FindingCollector& findings) {
    return TreeWalker(pages, tablePage, object, findings).walk(rootPage);
}

} // namespace storage::check
