#include "database/storage/engine/index_writer.h"

#include "database/storage/engine/stored_usage_map.h"

#include <algorithm>

namespace storage {

namespace {
constexpr std::size_t kMaxCachedPages = 8192;
// A function object rather than a function pointer, so that searches inline the comparison.
constexpr auto entryLess = [](const IndexEntry& a, const IndexEntry& b) { return indexEntryLess(a, b); };
} // namespace

IndexWriter::IndexWriter(Pager& pager, uint32_t tablePage, const RealIndex& index, Entries entries)
    : m_pager(pager), m_tablePage(tablePage), m_index(index), m_entries(entries) {}

Result<IndexWriter::CachedPage*> IndexWriter::load(uint32_t number) {
    CachedPage* page = cached(number);
    if (!page) {
        auto handle = m_pager.read(number);
        if (!handle)
            return handle.error();
        auto parsed = parseIndexPage(**handle, number, std::move(m_spareEntries));
        m_spareEntries = {};
        if (!parsed)
            return parsed.error();
        if (parsed->owner != m_tablePage)
            return m_pager.reader().corrupt(number, 4, "index page of another table");
        page = &keep(number, CachedPage(std::move(*parsed)));
    }
    if (m_splitting && !m_insertingLate && m_copiedWhole.insert(number))
        m_undo.push_back({Undo::Kind::WholePage, number, 0, {}, static_cast<const IndexPage&>(*page)});
    return page;
}

IndexWriter::CachedPage& IndexWriter::keep(uint32_t number, CachedPage page) {
    if (number >= m_pages.size())
        m_pages.resize(std::max<std::size_t>(number + 1, m_pages.size() * 2));
    std::unique_ptr<CachedPage>& slot = m_pages[number];
    if (slot) {
        *slot = std::move(page);
    } else {
        slot = std::make_unique<CachedPage>(std::move(page));
        ++m_cachedPages;
        if (m_insertingLate)
            m_loaded.push_back(number);
    }
    return *slot;
}

void IndexWriter::forget(uint32_t number) {
    if (number < m_pages.size() && m_pages[number]) {
        if (m_pages[number]->entries.capacity() > m_spareEntries.capacity())
            m_spareEntries = std::move(m_pages[number]->entries);
        m_pages[number].reset();
        --m_cachedPages;
    }
}

IndexPage& IndexWriter::createPage(uint32_t number, IndexPage page) {
    m_copiedWhole.insert(number); // dropping the statement forgets it whole
    remember({Undo::Kind::NewPage, number, 0, {}, std::nullopt});
    return keep(number, CachedPage(std::move(page)));
}

Status IndexWriter::write(uint32_t number) {
    auto page = load(number);
    if (!page)
        return page.error();
    auto bytes = serializeIndexPage(**page, m_pager.pageSize());
    if (!bytes)
        return m_pager.reader().corrupt(number, 0, "index page entries do not fit after a split");
    return m_pager.write(number, std::move(*bytes));
}

// Changed pages join the batch when they first change in it, so that the journal holds
// them and writeChangedPages needs no room on the disk.
Status IndexWriter::takeChanges(const std::vector<uint32_t>& pages) {
    for (uint32_t number : pages) {
        if (m_changed.contains(number))
            continue; // changed earlier in this batch, so already part of it
        if (!m_inBatch.contains(number)) {
            if (Status status = m_pager.prepareWrite(number); !status)
                return status;
            m_inBatch.insert(number);
            remember({Undo::Kind::EnteredBatch, number, 0, {}, std::nullopt});
        }
        m_changed.insert(number);
        remember({Undo::Kind::MarkedChanged, number, 0, {}, std::nullopt});
    }
    return Status::ok();
}

Status IndexWriter::writeChangedPages(uint32_t& newKeys) {
    newKeys = 0;
    if (Status status = insertLateEntries(newKeys); !status)
        return status;
    for (uint32_t number : m_changed.members())
        if (Status status = write(number); !status)
            return status;
    m_changed.clear();
    m_inBatch.clear();
    return Status::ok();
}

void IndexWriter::dropStatement() {
    m_late.resize(m_lateKept);
    m_lateEntryBytes = m_lateEntryBytesKept;
    for (auto at = m_undo.rbegin(); at != m_undo.rend(); ++at) {
        switch (at->kind) {
        // A page split later in the same statement was copied whole before its first
        // split; that copy, put back after these, decides what the page holds.
        case Undo::Kind::Inserted: {
            CachedPage& page = *cached(at->page);
            if (at->position < page.entries.size())
                page.entries.erase(page.entries.begin() + static_cast<std::ptrdiff_t>(at->position));
            page.entryBytes.reset();
            break;
        }
        case Undo::Kind::Replaced: {
            CachedPage& page = *cached(at->page);
            if (at->position < page.entries.size())
                page.entries[at->position] = at->entry;
            page.entryBytes.reset();
            break;
        }
        case Undo::Kind::WholePage:
            keep(at->page, CachedPage(std::move(*at->before)));
            break;
        case Undo::Kind::NewPage:
            forget(at->page);
            break;
        case Undo::Kind::EnteredBatch:
            m_inBatch.erase(at->page);
            break;
        case Undo::Kind::MarkedChanged:
            m_changed.erase(at->page);
            break;
        }
    }
    m_undo.clear();
    m_copiedWhole.clear();
    m_splitting = false;
    forgetPathLead();
}

bool IndexWriter::fits(CachedPage& page) {
    if (!page.entryBytes)
        page.entryBytes = indexEntryDataSize(page, 0);
    return indexPageFits(page, *page.entryBytes);
}

void IndexWriter::changeEntryBytes(CachedPage& page, std::size_t removed, std::size_t added) {
    if (page.entryBytes)
        *page.entryBytes = *page.entryBytes - removed + added;
}

// Parsed pages take memory; those not changed since they were written can be read again.
// Changed pages stay until the commit writes them, however many a large batch changes,
// so only the unchanged ones count (else every insert would walk them all).
void IndexWriter::forgetUnchangedPages() {
    if (m_cachedPages <= m_changed.size() + kMaxCachedPages || !m_undo.empty())
        return;
    for (uint32_t number = 0; number < m_pages.size(); ++number)
        if (!m_changed.contains(number))
            forget(number);
    forgetPathLead();
}

Result<uint32_t> IndexWriter::newPage() {
    auto number = m_pager.allocate();
    if (!number)
        return number;
    if (Status status = StoredUsageMap(m_pager, m_index.usageMap).add(*number); !status)
        return status.error();
    if (m_indexPages)
        ++*m_indexPages;
    return number;
}

Status IndexWriter::descend(const IndexEntry& target) {
    std::vector<PathStep>& path = m_path;
    path.clear();
    path.push_back({m_index.rootPage, std::nullopt});
    for (;;) {
        auto page = load(path.back().page);
        if (!page)
            return page.error();
        path.back().contents = *page;
        const IndexPage& node = **page;
        if (node.leaf)
            return Status::ok();
        if (path.size() > 32)
            return m_pager.reader().corrupt(path.back().page, 0, "index deeper than any B-tree of this size");
        const auto& entries = node.entries;
        const auto at = std::lower_bound(entries.begin(), entries.end(), target, entryLess);
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

Result<const IndexEntry*> IndexWriter::neighbour(const IndexPage& current, std::size_t position, bool before) {
    if (before && position > 0)
        return &current.entries[position - 1];
    if (!before && position < current.entries.size())
        return &current.entries[position];
    const uint32_t sibling = before ? current.previous : current.next;
    if (sibling == 0)
        return nullptr;
    auto other = load(sibling);
    if (!other)
        return other.error();
    if ((*other)->entries.empty())
        return nullptr;
    return before ? &(*other)->entries.back() : &(*other)->entries.front();
}

Result<bool> IndexWriter::containsKey(const std::vector<uint8_t>& key) {
    // Late entries are for indexes nothing looks up; should one be asked all the same,
    // the waiting entries count too.
    if (std::any_of(m_late.begin(), m_late.end(), [&](const IndexEntry& entry) { return entry.key == key; }))
        return true;
    forgetUnchangedPages();
    const IndexEntry probe{key, 0, 0, 0};
    if (Status status = descend(probe); !status)
        return status.error();
    const IndexPage& leaf = *m_path.back().contents;
    const auto& entries = leaf.entries;
    const auto at = std::lower_bound(entries.begin(), entries.end(), probe, entryLess);
    auto next = neighbour(leaf, static_cast<std::size_t>(at - entries.begin()), false);
    if (!next)
        return next.error();
    const bool found = *next && (*next)->key == key;
    if (found)
        m_pathLeadsTo.reset(); // an entry of this key may lie further on than the probe's place
    else
        m_pathLeadsTo = probe.key;
    return found;
}

Result<bool> IndexWriter::insert(IndexEntry entry) {
    if (m_entries == Entries::AtOnce)
        return insertNow(std::move(entry));
    m_lateEntryBytes += indexEntrySize(entry, true);
    m_late.push_back(std::move(entry));
    return false;
}

IndexWriter::LateWork IndexWriter::lateWork() {
    if (m_late.empty())
        return {};
    if (!m_indexPages) {
        // Unreadable, the map bounds nothing: each entry may then change a page of its own.
        auto pages = StoredUsageMap(m_pager, m_index.usageMap).pages();
        m_indexPages = pages ? pages->size() : SIZE_MAX;
    }
    const std::size_t pages = std::min(m_late.size(), *m_indexPages);
    // Splits: each leaf reached may split once, however full it was, and every half page
    // of entries beyond that may split one again; the levels above split no more often
    // than the leaves (their entries are as many as the leaves' splits).
    const std::size_t leafSplits = pages + 2 * m_lateEntryBytes / kMaxIndexEntryData + 1;
    return {pages, 2 * leafSplits + 8, m_late.size() * sizeof(IndexEntry) + m_lateEntryBytes};
}

// In key order each leaf is done with when the next entry goes elsewhere: it is written
// into the batch then and its parsed form let go, so that the memory of one page serves
// the next. The entries go in as a statement that is undone only with its batch, so
// they keep no undo; a failure leaves the writer to be dropped with the batch.
Status IndexWriter::insertLateEntries(uint32_t& newKeys) {
    if (m_late.empty())
        return Status::ok();
    std::sort(m_late.begin(), m_late.end(), entryLess);
    m_insertingLate = true;
    m_loaded.clear();
    const auto insertAll = [&]() -> Status {
        uint32_t leaf = 0;
        for (IndexEntry& entry : m_late) {
            m_lateNext = static_cast<std::size_t>(&entry - m_late.data()) + 1;
            auto added = insertNow(std::move(entry));
            if (!added)
                return added.error();
            newKeys += *added ? 1 : 0;
            if (m_path.back().page != leaf) {
                leaf = m_path.back().page;
                if (Status status = writeAndForgetOffPath(); !status)
                    return status;
            }
        }
        return Status::ok();
    };
    Status status = insertAll();
    m_insertingLate = false;
    m_loaded.clear();
    m_late.clear();
    m_lateKept = 0;
    m_lateEntryBytes = m_lateEntryBytesKept = 0;
    return status;
}

// Writes the changed pages that the last descent did not pass through, and forgets every
// page parsed since the last call that is not on it.
Status IndexWriter::writeAndForgetOffPath() {
    const auto onPath = [&](uint32_t number) {
        return std::any_of(m_path.begin(), m_path.end(), [&](const PathStep& step) { return step.page == number; });
    };
    std::vector<uint32_t> stillChanged;
    for (uint32_t number : m_changed.members()) {
        if (onPath(number)) {
            stillChanged.push_back(number);
        } else if (Status status = write(number); !status) {
            return status;
        }
    }
    m_changed.clear();
    m_inBatch.clear();
    for (uint32_t number : stillChanged) {
        m_changed.insert(number);
        m_inBatch.insert(number);
    }
    for (uint32_t number : m_loaded)
        if (!onPath(number))
            forget(number);
    m_loaded.clear();
    for (const PathStep& step : m_path)
        if (cached(step.page))
            m_loaded.push_back(step.page);
    forgetPathLead();
    return Status::ok();
}

Result<bool> IndexWriter::insertNow(IndexEntry entry) {
    forgetUnchangedPages();
    // After containsKey found no entry of this key (a unique index's check), its descent
    // leads where this entry goes: no entry lies between the probe and this one.
    const bool descended = m_pathLeadsTo && *m_pathLeadsTo == entry.key;
    m_pathLeadsTo.reset();
    if (!descended)
        if (Status status = descend(entry); !status)
            return status.error();
    std::vector<PathStep>& path = m_path;
    const uint32_t leafNumber = path.back().page;
    CachedPage& leaf = *path.back().contents;
    auto& entries = leaf.entries;
    const auto at = std::lower_bound(entries.begin(), entries.end(), entry, entryLess);
    const auto position = static_cast<std::size_t>(at - entries.begin());
    auto before = neighbour(leaf, position, true);
    if (!before)
        return before.error();
    auto after = neighbour(leaf, position, false);
    if (!after)
        return after.error();
    const bool newKey = !(*before && (*before)->key == entry.key) && !(*after && (*after)->key == entry.key);

    entry.child = 0;
    const IndexEntry& stored =
        *entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(position), std::move(entry));
    m_insertedAt = position;
    changeEntryBytes(leaf, 0, indexEntrySize(stored, true));
    remember({Undo::Kind::Inserted, leafNumber, position, {}, std::nullopt});
    std::vector<uint32_t>& changed = m_touched;
    changed.assign(1, leafNumber);
    if (position + 1 == entries.size()) {
        // The leaf's largest entry changed: so may its ancestors' entries for it.
        for (std::size_t level = path.size() - 1; level > 0; --level) {
            const PathStep& step = path[level];
            if (!step.entry)
                continue; // a tail child has no entry; the parent's maximum changes with it
            CachedPage* parent = path[level - 1].contents;
            IndexEntry& reference = parent->entries[*step.entry];
            remember({Undo::Kind::Replaced, path[level - 1].page, *step.entry, reference, std::nullopt});
            changeEntryBytes(*parent, reference.key.size(), stored.key.size());
            reference = IndexEntry{stored.key, stored.page, stored.row, step.page};
            changed.push_back(path[level - 1].page);
            if (*step.entry + 1 != parent->entries.size() || parent->childTail != 0)
                break;
        }
    }
    const bool overfull = !fits(leaf) || std::any_of(changed.begin() + 1, changed.end(),
                                                     [&](uint32_t number) { return !fits(*cached(number)); });
    if (overfull) {
        // Splits change pages in ways too many to undo one by one: the pages they load are copied whole first.
        m_splitting = true;
        Status split = splitOverfull(path, changed);
        m_splitting = false;
        if (!split)
            return split.error();
        for (uint32_t number : changed) // their entries moved
            cached(number)->entryBytes.reset();
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    if (Status status = takeChanges(changed); !status)
        return status.error();
    return newKey;
}

// Late entries come in key order. When more are coming for a leaf they overfill than half
// of it holds, as into an index that grows at its end, they go after the entry just added:
// the new page keeps the entries up to it, as full as they leave it, and the old page the
// room for the rest; halves would leave each new page half empty for good. Otherwise, as
// when a few entries reach each of many leaves, halves leave room for later ones on both
// sides. Nullopt: halves.
std::optional<std::size_t> IndexWriter::lateSplitPoint(const IndexPage& leaf) const {
    const std::size_t size = leaf.entries.size();
    const auto next = m_late.begin() + static_cast<std::ptrdiff_t>(m_lateNext);
    const auto comingEnd =
        leaf.next == 0 ? m_late.end() : std::lower_bound(next, m_late.end(), leaf.entries.back(), entryLess);
    const auto coming = static_cast<std::size_t>(comingEnd - next);
    const std::size_t moved = std::min(m_insertedAt + 1, size - 1); // added last: it alone stays
    if (coming < size / 2 || moved <= (size + 1) / 2)
        return std::nullopt;
    IndexPage part;
    part.entries.assign(leaf.entries.begin(), leaf.entries.begin() + static_cast<std::ptrdiff_t>(moved));
    if (!indexPageFits(part))
        return std::nullopt;
    part.entries.assign(leaf.entries.begin() + static_cast<std::ptrdiff_t>(moved), leaf.entries.end());
    if (!indexPageFits(part))
        return std::nullopt;
    return moved;
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
            createPage(*below, std::move(lowered));
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
        const std::optional<std::size_t> moved = m_insertingLate && (*old)->leaf ? lateSplitPoint(**old) : std::nullopt;
        IndexPageSplit split = splitIndexPage(**old, number, newNumber, moved);
        const bool leaves = split.newPage.leaf;
        const uint32_t lastMovedChild =
            leaves ? 0 : (split.newPage.childTail != 0 ? split.newPage.childTail : split.newPage.entries.back().child);
        const uint32_t firstKeptChild =
            leaves ? 0 : ((*old)->entries.empty() ? (*old)->childTail : (*old)->entries.front().child);
        createPage(newNumber, std::move(split.newPage));
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
        entries.insert(std::lower_bound(entries.begin(), entries.end(), split.parentEntry, entryLess),
                       split.parentEntry);
        applyChildTailRule(**parent);
        changed.push_back(parentNumber);
    }
    return Status::ok();
}

} // namespace storage
