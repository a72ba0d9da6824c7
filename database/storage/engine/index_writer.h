#pragma once

#include "database/storage/engine/page_set.h"
#include "database/storage/engine/pager.h"
#include "database/storage/table/table_definition.h"
#include "database/storage/write/index_page.h"

#include <memory>
#include <optional>
#include <vector>

namespace storage {

// The B-tree of one real index, changed through the pager: lookups by key and
// insertion of entries with the page splits Access's readers expect (the root keeps
// its page, a split page's new half goes before it, node pages keep their child tail).
//
// An index that no statement looks up (not unique, not a primary key, in no
// relationship) may take its entries late: they wait in memory and go in at the commit,
// sorted, so that each leaf page is visited once, in key order, however randomly the rows
// came. A large index then costs a pass over the pages the batch changes instead of a
// random descent per row, and the parsed pages need not all stay in memory at once.
class IndexWriter {
public:
    enum class Entries { AtOnce, Late };
    IndexWriter(Pager& pager, uint32_t tablePage, const RealIndex& index, Entries entries = Entries::AtOnce);

    // Whether some entry has exactly these key bytes.
    Result<bool> containsKey(const std::vector<uint8_t>& key);
    // Adds the entry. At once: true when its key bytes were new to the index (which is
    // what the table definition's unique-entry count counts); the pages it changes are
    // kept here and written by writeChangedPages, which must come before each commit, and
    // each page takes part in the batch from its first change on, so writing it again then
    // needs no room on the disk. Late: the entry waits for writeChangedPages; false.
    Result<bool> insert(IndexEntry entry);
    // Puts the waiting entries in and writes the changed pages, as a statement that is
    // undone only with its batch. `newKeys` counts the waiting entries whose key bytes
    // were new to the index.
    Status writeChangedPages(uint32_t& newKeys);
    // What the waiting entries will cost the batch: the pages that putting them in may
    // change (one per entry, and no more than the index has), the new pages their splits
    // may take, and the memory they take now.
    struct LateWork {
        std::size_t pages = 0;
        std::size_t newPages = 0;
        std::size_t bytes = 0;
        LateWork& operator+=(const LateWork& other) {
            pages += other.pages;
            newPages += other.newPages;
            bytes += other.bytes;
            return *this;
        }
    };
    LateWork lateWork();

    // The current statement's changes: kept, or dropped (after the journal has put the
    // pages back, the parsed pages are put back here).
    void keepStatement() {
        m_undo.clear();
        m_copiedWhole.clear();
        m_lateKept = m_late.size();
        m_lateEntryBytesKept = m_lateEntryBytes;
    }
    void dropStatement();

private:
    // How to put back one change of the current statement.
    struct Undo {
        enum class Kind { Inserted, Replaced, WholePage, NewPage, EnteredBatch, MarkedChanged };
        Kind kind;
        uint32_t page = 0;
        std::size_t position = 0;
        IndexEntry entry;                // Replaced: the entry it replaced
        std::optional<IndexPage> before; // WholePage: the page before the split
    };

    // A parsed page as kept here.
    struct CachedPage : IndexPage {
        CachedPage() = default;
        explicit CachedPage(IndexPage page) : IndexPage(std::move(page)) {}
        // Its entries' bytes without a common prefix, kept up to date as entries go in,
        // so that most inserts need no pass over the page to know it fits; nullopt: unknown.
        std::optional<std::size_t> entryBytes;
    };

    struct PathStep {
        uint32_t page = 0;
        std::optional<std::size_t> entry; // the parent's entry that led here; nullopt: its tail
        CachedPage* contents = nullptr;   // the page as loaded, valid until pages are forgotten
    };

    Result<bool> insertNow(IndexEntry entry);
    Status insertLateEntries(uint32_t& newKeys);
    Status writeAndForgetOffPath();
    void remember(Undo undo) {
        if (!m_insertingLate)
            m_undo.push_back(std::move(undo));
    }
    Result<CachedPage*> load(uint32_t number);
    CachedPage* cached(uint32_t number) const { return number < m_pages.size() ? m_pages[number].get() : nullptr; }
    // Keeps the page in place of what was kept for its number; pointers to it stay valid.
    CachedPage& keep(uint32_t number, CachedPage page);
    void forget(uint32_t number);
    IndexPage& createPage(uint32_t number, IndexPage page);
    Status write(uint32_t number);
    Status takeChanges(const std::vector<uint32_t>& pages);
    void forgetUnchangedPages();
    static bool fits(CachedPage& page);
    static void changeEntryBytes(CachedPage& page, std::size_t removed, std::size_t added);
    void forgetPathLead() { m_pathLeadsTo.reset(); }
    Result<uint32_t> newPage();
    // Root-to-leaf pages towards the first entry not less than `target`, into m_path.
    Status descend(const IndexEntry& target);
    Result<IndexEntry> subtreeMaximum(uint32_t number);
    // The entry next to `position` in the leaf's level, or nullptr; valid until the pages change.
    Result<const IndexEntry*> neighbour(const IndexPage& leaf, std::size_t position, bool before);
    Status splitOverfull(std::vector<PathStep>& path, std::vector<uint32_t>& changed);
    std::optional<std::size_t> lateSplitPoint(const IndexPage& leaf) const;

    Pager& m_pager;
    uint32_t m_tablePage;
    RealIndex m_index;
    // Parsed pages by page number, with the changes not yet written: an insert finds its
    // pages without hashing, which a large index would pay for at every level.
    std::vector<std::unique_ptr<CachedPage>> m_pages;
    std::size_t m_cachedPages = 0;
    PageSet m_changed; // pages newer here than in the file
    PageSet m_inBatch; // pages readied for writing since the last commit
    std::vector<Undo> m_undo;
    // Kept between inserts for their room: the last descent, and the pages an insert changed.
    std::vector<PathStep> m_path;
    std::vector<uint32_t> m_touched;
    // The key containsKey last looked for and did not find: its descent is also the one an
    // insert of that key takes next (anything else that changes pages forgets it).
    std::optional<KeyBytes> m_pathLeadsTo;
    bool m_splitting = false; // pages loaded now are copied whole first, for dropStatement
    PageSet m_copiedWhole;    // by the current statement: once is enough
    // While the late entries go in: no undo is kept (their statement is undone only with its
    // batch), the pages parsed are listed in m_loaded, and leaves split at lateSplitPoint.
    bool m_insertingLate = false;
    std::size_t m_insertedAt = 0; // the leaf position of the entry the last insert added
    std::size_t m_lateNext = 0;   // the late entry after the one going in

    const Entries m_entries;
    std::vector<IndexEntry> m_late;   // waiting for the commit, in the order the rows came
    std::size_t m_lateKept = 0;       // of them, the kept statements'
    std::size_t m_lateEntryBytes = 0; // their bytes on a page without a common prefix
    std::size_t m_lateEntryBytesKept = 0;
    std::optional<std::size_t> m_indexPages; // as the usage map counts them, once asked
    std::vector<uint32_t> m_loaded;          // pages parsed since the late entries last moved on a leaf
    std::vector<IndexEntry> m_spareEntries;  // the memory of a forgotten page's entries, for the next read
};

} // namespace storage
