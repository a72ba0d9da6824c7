#include "database/storage/engine/index_writer.h"

#include "database/storage/engine/stored_usage_map.h"

#include <algorithm>

namespace storage {

namespace {
constexpr std::size_t kMaxCachedPages = 8192;
} // namespace

IndexWriter::IndexWriter(Pager& pager, uint32_t tablePage, const RealIndex& index)
    : m_pager(pager), m_tablePage(tablePage), m_index(index) {}

Result<IndexPage*> IndexWriter::load(uint32_t number) {
    auto found = m_pages.find(number);
    if (found != m_pages.end())
        return &found->second;
    auto handle = m_pager.read(number);
    if (!handle)
        return handle.error();
    auto parsed = parseIndexPage(**handle, number);
    if (!parsed)
        return parsed.error();
    if (parsed->owner != m_tablePage)
        return m_pager.reader().corrupt(number, 4, "index page of another table");
    return &m_pages.emplace(number, std::move(*parsed)).first->second;
}

Status IndexWriter::store(uint32_t number) {
    auto page = load(number);
    if (!page)
        return page.error();
    auto bytes = serializeIndexPage(**page, m_pager.pageSize());
    if (!bytes)
        return m_pager.reader().corrupt(number, 0, "index page entries do not fit after a split");
    return m_pager.write(number, std::move(*bytes));
}

Result<uint32_t> IndexWriter::newPage() {
    auto number = m_pager.allocate();
    if (!number)
        return number;
    if (Status status = StoredUsageMap(m_pager, m_index.usageMap).add(*number); !status)
        return status.error();
    return number;
}

Result<std::vector<IndexWriter::PathStep>> IndexWriter::descend(const IndexEntry& target) {
    std::vector<PathStep> path{{m_index.rootPage, std::nullopt}};
    for (;;) {
        auto page = load(path.back().page);
        if (!page)
            return page.error();
        const IndexPage& node = **page;
        if (node.leaf)
            return path;
        if (path.size() > 32)
            return m_pager.reader().corrupt(path.back().page, 0, "index deeper than any B-tree of this size");
        const auto& entries = node.entries;
        const auto at = std::lower_bound(entries.begin(), entries.end(), target, indexEntryLess);
        PathStep step;
        if (at != entries.end()) {
            step = {at->child, static_cast<std::size_t>(at - entries.begin())};
        } else if (node.childTail != 0) {
            step = {node.childTail, std::nullopt};
        } else if (!entries.empty()) {
            step = {entries.back().child, entries.size() - 1};
        } else {
            return m_pager.reader().corrupt(path.back().page, 0, "index node page without children");
        }
        path.push_back(step);
    }
}

Result<IndexEntry> IndexWriter::subtreeMaximum(uint32_t number) {
    for (int depth = 0; depth < 32; ++depth) {
        auto page = load(number);
        if (!page)
            return page.error();
        const IndexPage& node = **page;
        if (!node.leaf && node.childTail != 0) {
            number = node.childTail;
            continue;
        }
        if (node.entries.empty())
            break;
        return node.entries.back();
    }
    return m_pager.reader().corrupt(number, 0, "index page without entries");
}

Result<std::optional<IndexEntry>> IndexWriter::neighbour(uint32_t leaf, std::size_t position, bool before) {
    auto page = load(leaf);
    if (!page)
        return page.error();
    const IndexPage& current = **page;
    if (before && position > 0)
        return std::optional<IndexEntry>(current.entries[position - 1]);
    if (!before && position < current.entries.size())
        return std::optional<IndexEntry>(current.entries[position]);
    const uint32_t sibling = before ? current.previous : current.next;
    if (sibling == 0)
        return std::optional<IndexEntry>();
    auto other = load(sibling);
    if (!other)
        return other.error();
    if ((*other)->entries.empty())
        return std::optional<IndexEntry>();
    return std::optional<IndexEntry>(before ? (*other)->entries.back() : (*other)->entries.front());
}

Result<bool> IndexWriter::containsKey(const std::vector<uint8_t>& key) {
    if (m_pages.size() > kMaxCachedPages)
        m_pages.clear();
    auto path = descend(IndexEntry{key, 0, 0, 0});
    if (!path)
        return path.error();
    auto leaf = load(path->back().page);
    if (!leaf)
        return leaf.error();
    const auto& entries = (*leaf)->entries;
    const auto at = std::lower_bound(entries.begin(), entries.end(), IndexEntry{key, 0, 0, 0}, indexEntryLess);
    auto next = neighbour(path->back().page, static_cast<std::size_t>(at - entries.begin()), false);
    if (!next)
        return next.error();
    return *next && (*next)->key == key;
}

Result<bool> IndexWriter::insert(const IndexEntry& entry) {
    if (m_pages.size() > kMaxCachedPages)
        m_pages.clear();
    auto path = descend(entry);
    if (!path)
        return path.error();
    const uint32_t leafNumber = path->back().page;
    auto leaf = load(leafNumber);
    if (!leaf)
        return leaf.error();
    auto& entries = (*leaf)->entries;
    const auto at = std::lower_bound(entries.begin(), entries.end(), entry, indexEntryLess);
    const auto position = static_cast<std::size_t>(at - entries.begin());
    auto before = neighbour(leafNumber, position, true);
    if (!before)
        return before.error();
    auto after = neighbour(leafNumber, position, false);
    if (!after)
        return after.error();
    const bool newKey = !(*before && (*before)->key == entry.key) && !(*after && (*after)->key == entry.key);

    IndexEntry stored = entry;
    stored.child = 0;
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(position), stored);
    std::vector<uint32_t> changed{leafNumber};
    if (position + 1 == entries.size()) {
        // The leaf's largest entry changed: so may its ancestors' entries for it.
        for (std::size_t level = path->size() - 1; level > 0; --level) {
            const PathStep& step = (*path)[level];
            if (!step.entry)
                continue; // a tail child has no entry; the parent's maximum changes with it
            auto parent = load((*path)[level - 1].page);
            if (!parent)
                return parent.error();
            IndexEntry& reference = (*parent)->entries[*step.entry];
            reference = IndexEntry{stored.key, stored.page, stored.row, step.page};
            changed.push_back((*path)[level - 1].page);
            if (*step.entry + 1 != (*parent)->entries.size() || (*parent)->childTail != 0)
                break;
        }
    }
    if (Status status = splitOverfull(*path, changed); !status)
        return status.error();
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    for (uint32_t number : changed)
        if (Status status = store(number); !status)
            return status.error();
    return newKey;
}

Status IndexWriter::splitOverfull(std::vector<PathStep>& path, std::vector<uint32_t>& changed) {
    for (std::size_t level = path.size(); level-- > 0;) {
        uint32_t number = path[level].page;
        auto page = load(number);
        if (!page)
            return page.error();
        if (indexPageFits(**page))
            continue;
        uint32_t parentNumber = 0;
        if (level == 0) {
            // The root keeps its page: everything moves one level down, then that page splits.
            auto maximum = subtreeMaximum(number);
            if (!maximum)
                return maximum.status();
            auto below = newPage();
            if (!below)
                return below.status();
            page = load(number); // the cache may have been filled by the lookups above
            if (!page)
                return page.error();
            IndexPage lowered = nestIndexRoot(**page, *below, *maximum);
            m_pages[*below] = std::move(lowered);
            changed.push_back(number);
            parentNumber = number;
            number = *below;
        } else {
            parentNumber = path[level - 1].page;
        }

        auto allocated = newPage();
        if (!allocated)
            return allocated.status();
        const uint32_t newNumber = *allocated;
        auto old = load(number);
        if (!old)
            return old.error();
        const uint32_t oldPrevious = (*old)->previous;
        IndexPageSplit split = splitIndexPage(**old, number, newNumber);
        const bool leaves = split.newPage.leaf;
        const uint32_t lastMovedChild =
            leaves ? 0 : (split.newPage.childTail != 0 ? split.newPage.childTail : split.newPage.entries.back().child);
        const uint32_t firstKeptChild =
            leaves ? 0 : ((*old)->entries.empty() ? (*old)->childTail : (*old)->entries.front().child);
        m_pages[newNumber] = std::move(split.newPage);
        changed.push_back(number);
        changed.push_back(newNumber);
        if (oldPrevious != 0) {
            auto previous = load(oldPrevious);
            if (!previous)
                return previous.error();
            (*previous)->next = newNumber;
            changed.push_back(oldPrevious);
        }
        if (!leaves) {
            // Node levels are linked only among pages of the same parent.
            auto last = load(lastMovedChild);
            if (!last)
                return last.error();
            if (!(*last)->leaf) {
                (*last)->next = 0;
                changed.push_back(lastMovedChild);
                auto first = load(firstKeptChild);
                if (!first)
                    return first.error();
                (*first)->previous = 0;
                changed.push_back(firstKeptChild);
            }
        }
        auto parent = load(parentNumber);
        if (!parent)
            return parent.error();
        auto& entries = (*parent)->entries;
        entries.insert(std::lower_bound(entries.begin(), entries.end(), split.parentEntry, indexEntryLess),
                       split.parentEntry);
        applyChildTailRule(**parent);
        changed.push_back(parentNumber);
    }
    return Status::ok();
}

} // namespace storage
