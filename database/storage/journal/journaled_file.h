#pragma once

#include "database/storage/file/file.h"
#include "database/storage/journal/clean_pages.h"
#include "database/storage/journal/journal_format.h"
#include "database/storage/journal/journal_location.h"
#include "database/storage/journal/page_memory.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace storage {

// A database file whose changes reach the disk in atomic batches.
//
// Writes are gathered per statement; a statement is kept (commitStatement) or dropped
// (rollbackStatement) as a whole. Kept statements form the batch, which commit() makes
// durable: the original bytes of every page the batch changes are in the rollback
// journal, durable, before the first page of the database is overwritten; removing
// the journal is the commit point. A crash therefore leaves the database as it was
// before the batch or after it, and recover() at the next open replays the journal.
//
// Failures that depend on the disk (full disk, no write permission) show at the
// statement that needs the space: each page's journal record is written, and the file
// extended, when the statement first changes it, unless the record falls into room
// taken before (reserveRoom); such records go out together before the commit's sync.
//
// Pages read, and pages changed that were in the file before the batch, stay in memory
// for the batches that follow (CleanPages), so that a batch neither reads again what
// earlier ones read or changed nor reads the original bytes it journals. The batch's changed pages and the kept ones
// together stay within `pageMemory` bytes; the kept ones give way first.
class JournaledFile final : public File {
public:
    // What was found beside the database when it was opened.
    struct Recovery {
        enum class Outcome {
            NoJournal,
            Restored, // an interrupted batch was put back
            SetAside, // a journal written for another file, renamed and not applied
        };
        Outcome outcome = Outcome::NoJournal;
        std::string setAsidePath;
    };

    // Puts back what an interrupted batch left, then wraps the database. `identity`
    // is the database file's own (see journal::Identity). `database` gives pages as they
    // read; `stored`, when given, is the same file as it stands on the disk (they differ
    // for encrypted pages): the journal keeps pages as stored, never decoded.
    static Result<std::unique_ptr<JournaledFile>> open(File& database, JournalLocation& journal, uint32_t pageSize,
                                                       const journal::Identity& identity, File* stored = nullptr,
                                                       std::size_t pageMemory = pageMemoryBudget());

    // Puts back what an interrupted batch of this database left. A journal that was
    // written for another file (another identity, or a file shorter than the one the
    // batch began with) is set aside under another name instead.
    static Result<Recovery> recover(File& database, JournalLocation& journal, const journal::Identity& identity);

    const Recovery& recovery() const { return m_recovery; }

    Result<std::size_t> read(uint64_t offset, std::span<uint8_t> out) override;
    // Part of the current statement. The journal record of each page is written when
    // the page is first changed, so this is where a full disk is reported.
    Status write(uint64_t offset, std::span<const uint8_t> data) override;
    Result<uint64_t> size() override { return m_size; }
    Status sync() override { return commit(); }
    // Only growing is supported; a statement never shrinks the file.
    Status truncate(uint64_t size) override;
    // The pages join the current statement's changes, their journal records written.
    Status prepareWrite(uint64_t offset, std::size_t length) override;
    // Takes room on the disk now for what the commit will write beyond the pages already
    // in the batch: `journalRecords` more pages' journal records, and `newPages` pages
    // at the end of the file. Callers that change pages only at the commit call this with
    // each statement, so that a full disk fails a statement and never the commit.
    Status reserveRoom(std::size_t journalRecords, std::size_t newPages);

    void commitStatement();
    void rollbackStatement();
    // Starts a statement that is undone only with its whole batch: its writes keep no copy
    // of what they replace, and rolling it back drops the batch. For writing the pages that
    // callers kept in memory until the commit, thousands at a time.
    void beginStatementWithoutUndo() { m_keepUndo = false; }
    // Makes every kept statement durable; an unfinished statement is dropped. On failure the database is put back as it
    // was before the batch and the batch is dropped.
    Status commit();
    // Puts the database back as it was before the batch, and forgets the batch. When the
    // journal cannot be put back (the disk has gone), nothing more is written until
    // restoreDroppedBatch() succeeds.
    void dropBatch();
    bool droppedBatchPending() const { return m_broken.has_value(); }
    Status restoreDroppedBatch();

    // Pages the batch holds in memory, for callers that commit by size: the batch is
    // full when they take all the memory it may use, with `pagesToCome` more that the
    // caller will change before the commit.
    std::size_t batchPages() const { return m_pages.size(); }
    bool batchFull(std::size_t pagesToCome = 0) const { return m_pages.size() + pagesToCome >= m_pageLimit; }
    bool hasPendingChanges() const { return !m_pages.empty(); }
    // Pages that were in the file before the batch and that it changes: each costs a
    // journal record and its rewrite at the commit.
    std::size_t rewrittenPages() const { return m_journaledPages; }

private:
    JournaledFile(File& database, File& stored, JournalLocation& journal, uint32_t pageSize, uint64_t size,
                  const journal::Identity& identity, std::size_t pageMemory);
    using Page = std::vector<uint8_t>;
    // What one write of the current statement replaced: the bytes at `offset` in the
    // page, or, for a page the batch had not changed before, the whole page.
    struct Undo {
        uint32_t number;
        bool inBatch; // false: dropping the statement forgets the page
        std::size_t offset = 0;
        Page before;
    };
    const Page* changedPage(uint32_t number) const; // the newest version in memory, if any
    Result<Page*> writablePage(uint32_t number, std::size_t offset, std::size_t length);
    bool newInStatement(uint32_t number) const;
    Page spareBuffer();
    // `original`: the page's bytes when they are at hand, else they are read from the file.
    Status journalOriginal(uint32_t number, const Page* original = nullptr);
    const Page* cleanPage(uint32_t number);
    void keepWithinMemory();
    Status reserve(uint64_t size);
    Status extendTo(uint64_t end);
    Status applyBatch();
    void forgetBatch();

    File& m_database;
    File& m_stored; // for the journal's copies and for putting them back
    JournalLocation& m_journalLocation;
    const uint32_t m_pageSize;
    const journal::Identity m_identity;
    Recovery m_recovery;

    // The newest bytes of every page that kept statements or the current one changed;
    // dropping a statement puts back what its undo records hold. A write costs a copy
    // of the bytes it replaces, so small changes to a page are cheap.
    std::unordered_map<uint32_t, Page> m_pages;
    std::vector<Undo> m_undo;
    bool m_keepUndo = true;        // false in a statement that is undone only with its batch
    std::vector<Page> m_spare;     // buffers of finished undo records, to be used again
    CleanPages m_clean;            // pages as the file holds them, wholly below the durable size
    const std::size_t m_pageLimit; // changed and clean pages together
    uint64_t m_size = 0;           // with the current statement
    uint64_t m_batchSize = 0;      // after the kept statements
    uint64_t m_durableSize = 0;    // on disk before the batch
    uint64_t m_reservedSize = 0;   // the database file's length, zero pages included

    // Set when a dropped batch could not be put back: the journal stays for the next
    // open, and nothing more may be written, or a new batch would replace that journal.
    std::optional<Error> m_broken;

    std::unique_ptr<File> m_journal; // open while a batch is pending
    uint64_t m_journalEnd = 0;
    uint64_t m_journalLength = 0;  // of the file, the room reserveRoom took included
    std::vector<uint8_t> m_record; // the record being written, its buffer kept for the next
    // Records that fall into room reserveRoom took cannot fail for want of room, and the
    // database is not touched before the commit: they go out together, before the sync.
    std::vector<uint8_t> m_heldRecords;
    uint64_t m_heldFrom = 0; // where in the journal they go
    Status writeHeldRecords();
    std::vector<bool> m_journaled; // by page number below the durable size
    std::size_t m_journaledPages = 0;
};

} // namespace storage
