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
class IndexWriter {
public:
    IndexWriter(Pager& pager, uint32_t tablePage, const RealIndex& index);

    // Whether some entry has exactly these key bytes.
    Result<bool> containsKey(const std::vector<uint8_t>& key);
    // Adds the entry; true when its key bytes were new to the index (which is what the
    // table definition's unique-entry count counts). The pages it changes are kept here
    // and written by writeChangedPages, which must come before each commit; each page
    // also takes part in the batch from its first change on, so writing it again then
    // needs no room on the disk.
    Result<bool> insert(IndexEntry entry);
    Status writeChangedPages();

    // The current statement's changes: kept, or dropped (after the journal has put the
    // pages back, the parsed pages are put back here).
    void keepStatement() {
        m_undo.clear();
        m_copiedWhole.clear();
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
    bool m_splitting = false;                   // pages loaded now are copied whole first, for dropStatement
    PageSet m_copiedWhole; // by the current statement: once is enough
};

} // namespace storage
