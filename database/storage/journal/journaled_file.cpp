#include "database/storage/journal/journaled_file.h"

#include "database/storage/errors.h"
#include "database/storage/journal/journal_format.h"

#include <algorithm>
#include <cstring>

namespace storage {

namespace {

Status readExactly(File& file, uint64_t offset, std::span<uint8_t> out, std::size_t& got) {
    Result<std::size_t> read = file.read(offset, out);
    if (!read)
        return read.error();
    got = *read;
    return Status::ok();
}

} // namespace

JournaledFile::JournaledFile(File& database, File& stored, JournalLocation& journal, uint32_t pageSize, uint64_t size,
                             const journal::Identity& identity, std::size_t pageMemory)
    : m_database(database), m_stored(stored), m_journalLocation(journal), m_pageSize(pageSize), m_identity(identity),
      m_pageLimit(std::max<std::size_t>(1, pageMemory / pageSize)), m_size(size), m_batchSize(size),
      m_durableSize(size), m_reservedSize(size) {}

Result<std::unique_ptr<JournaledFile>> JournaledFile::open(File& database, JournalLocation& journal, uint32_t pageSize,
                                                           const journal::Identity& identity, File* stored,
                                                           std::size_t pageMemory) {
    File& onDisk = stored ? *stored : database;
    Result<Recovery> recovered = recover(onDisk, journal, identity);
    if (!recovered)
        return recovered.error();
    Result<uint64_t> size = database.size();
    if (!size)
        return size.error();
    std::unique_ptr<JournaledFile> file(
        new JournaledFile(database, onDisk, journal, pageSize, *size, identity, pageMemory));
    file->m_recovery = std::move(*recovered);
    return file;
}

Result<JournaledFile::Recovery> JournaledFile::recover(File& database, JournalLocation& location,
                                                       const journal::Identity& identity) {
    Result<std::unique_ptr<File>> opened = location.openExisting();
    if (!opened)
        return opened.error();
    if (!*opened)
        return Recovery{};
    File& journal = **opened;

    std::vector<uint8_t> headerBytes(journal::kHeaderSize);
    std::size_t got = 0;
    if (Status status = readExactly(journal, 0, headerBytes, got); !status)
        return status.error();
    const std::optional<journal::Header> header = journal::decodeHeader(std::span(headerBytes).first(got));
    if (!header && journal::writtenByNewerVersion(std::span(headerBytes).first(got)))
        return errors::journalOfNewerVersion(); // its records may be needed: neither applied nor removed
    if (header) {
        // The batch only ever grew the file it was written for, so a shorter file, or
        // one made with another identity, is not that file.
        Result<uint64_t> size = database.size();
        if (!size)
            return size.error();
        if ((header->identity && *header->identity != identity) || *size < header->originalSize) {
            opened->reset();
            Result<std::string> setAside = location.setAside();
            if (!setAside)
                return setAside.error();
            return Recovery{Recovery::Outcome::SetAside, std::move(*setAside)};
        }
        // Every intact record holds a page as it was before the batch; restoring one
        // that the batch never reached changes nothing.
        std::vector<uint8_t> record;
        std::vector<uint8_t> original;
        for (uint64_t at = journal::headerSize(*header);;) {
            record.resize(journal::recordPrefixSize(*header));
            if (Status status = readExactly(journal, at, record, got); !status)
                return status.error();
            const std::optional<std::size_t> length = journal::recordSize(*header, std::span(record).first(got));
            if (!length)
                break;
            if (*length != record.size()) { // older journals' records are whole once the prefix is read
                record.resize(*length);
                if (Status status = readExactly(journal, at, record, got); !status)
                    return status.error();
            }
            const std::optional<uint32_t> page = journal::decodeRecord(*header, std::span(record).first(got), original);
            if (!page)
                break;
            const uint64_t offset = static_cast<uint64_t>(*page) * header->pageSize;
            if (offset < header->originalSize)
                if (Status status = database.write(offset, original); !status)
                    return status.error();
            at += *length;
        }
        if (Status status = database.truncate(header->originalSize); !status)
            return status.error();
        if (Status status = database.sync(); !status)
            return status.error();
    }
    // A journal without an intact header was cut short before the database was touched.
    opened->reset();
    if (Status status = location.remove(); !status)
        return status.error();
    return Recovery{header ? Recovery::Outcome::Restored : Recovery::Outcome::NoJournal, {}};
}

Result<std::size_t> JournaledFile::read(uint64_t offset, std::span<uint8_t> out) {
    if (offset >= m_size)
        return std::size_t{0};
    const std::size_t total = static_cast<std::size_t>(std::min<uint64_t>(out.size(), m_size - offset));
    std::size_t done = 0;
    while (done < total) {
        const uint64_t at = offset + done;
        const uint32_t number = static_cast<uint32_t>(at / m_pageSize);
        const std::size_t inPage = static_cast<std::size_t>(at % m_pageSize);
        const std::size_t length = std::min<std::size_t>(total - done, m_pageSize - inPage);
        const std::span<uint8_t> target = out.subspan(done, length);

        if (const Page* changed = changedPage(number)) {
            std::memcpy(target.data(), changed->data() + inPage, length);
        } else if (const Page* clean = cleanPage(number)) {
            std::memcpy(target.data(), clean->data() + inPage, length);
        } else if (at < m_reservedSize) {
            std::size_t got = 0;
            if (Status status = readExactly(m_database, at, target, got); !status)
                return status.error();
            std::fill(target.begin() + static_cast<std::ptrdiff_t>(got), target.end(), uint8_t{0});
        } else {
            std::fill(target.begin(), target.end(), uint8_t{0});
        }
        done += length;
    }
    return total;
}

const JournaledFile::Page* JournaledFile::changedPage(uint32_t number) const {
    const auto found = m_pages.find(number);
    return found != m_pages.end() ? &found->second : nullptr;
}

// The page as the file holds it, read into the kept pages when it lies wholly before
// the durable end; nullptr for the rest (and when the read fails: the caller reads it
// again and reports the failure).
const JournaledFile::Page* JournaledFile::cleanPage(uint32_t number) {
    if (const Page* kept = m_clean.find(number))
        return kept;
    const uint64_t offset = static_cast<uint64_t>(number) * m_pageSize;
    if (offset + m_pageSize > m_durableSize)
        return nullptr;
    Page page = spareBuffer();
    page.resize(m_pageSize);
    std::size_t got = 0;
    if (Status status = readExactly(m_database, offset, page, got); !status || got != m_pageSize)
        return nullptr;
    m_clean.put(number, std::move(page));
    keepWithinMemory();
    return m_clean.find(number);
}

void JournaledFile::keepWithinMemory() {
    m_clean.trimTo(m_pageLimit > m_pages.size() ? m_pageLimit - m_pages.size() : 0);
}

Status JournaledFile::write(uint64_t offset, std::span<const uint8_t> data) {
    const uint64_t end = offset + data.size();
    if (end > m_size)
        if (Status status = reserve(end); !status)
            return status;
    std::size_t done = 0;
    while (done < data.size()) {
        const uint64_t at = offset + done;
        const uint32_t number = static_cast<uint32_t>(at / m_pageSize);
        const std::size_t inPage = static_cast<std::size_t>(at % m_pageSize);
        const std::size_t length = std::min<std::size_t>(data.size() - done, m_pageSize - inPage);
        Result<Page*> page = writablePage(number, inPage, length);
        if (!page)
            return page.error();
        std::memcpy((*page)->data() + inPage, data.data() + done, length);
        done += length;
    }
    m_size = std::max(m_size, end);
    return Status::ok();
}

Status JournaledFile::prepareWrite(uint64_t offset, std::size_t length) {
    const uint64_t end = std::min<uint64_t>(offset + length, m_size);
    for (uint64_t at = offset / m_pageSize * m_pageSize; at < end; at += m_pageSize) {
        const auto number = static_cast<uint32_t>(at / m_pageSize);
        if (m_pages.count(number))
            continue;
        if (Result<Page*> page = writablePage(number, 0, 0); !page)
            return page.error();
    }
    return Status::ok();
}

Status JournaledFile::reserveRoom(std::size_t journalRecords, std::size_t newPages) {
    if (journalRecords == 0 && newPages == 0)
        return Status::ok();
    if (Status status = journalOriginal(UINT32_MAX); !status)
        return status;
    if (Status status = reserve(m_size + static_cast<uint64_t>(newPages) * m_pageSize); !status)
        return status;
    // A record is never longer than a whole page with its number, length and checksum.
    // Recovery stops at the first record of zero length, so the zeros of room not yet
    // written end the journal as its end would. A statement that fails keeps the records
    // it wrote: room for those of one more keeps what the earlier ones need.
    constexpr uint64_t kOneStatementsRecords = 16;
    const uint64_t needed =
        m_journalEnd + (static_cast<uint64_t>(journalRecords) + kOneStatementsRecords) * (m_pageSize + 12);
    if (needed <= m_journalLength)
        return Status::ok();
    // Ahead of need, so that this is not a call for every statement; by little, so that
    // a journal near a limit takes no room it will not use.
    constexpr uint64_t kLeastGrowth = 64 * 1024;
    const uint64_t target = std::max(needed, m_journalLength + std::max(kLeastGrowth, m_journalLength / 8));
    if (Status status = m_journal->allocate(m_journalLength, target - m_journalLength); !status)
        return status;
    m_journalLength = target;
    return Status::ok();
}

Status JournaledFile::truncate(uint64_t size) {
    if (size < m_size)
        return errors::unsupported("Shrinking a database file");
    if (Status status = reserve(size); !status)
        return status;
    m_size = size;
    return Status::ok();
}

// The file grows on disk when a statement needs the room, so that a full disk fails
// that statement. The journal header, which records the old length, is durable first.
// It grows ahead of need, so that an import does not extend it a page at a time; the
// commit cuts off what the batch did not use.
Status JournaledFile::reserve(uint64_t size) {
    if (size <= m_reservedSize)
        return Status::ok();
    if (Status status = journalOriginal(UINT32_MAX); !status)
        return status;
    constexpr uint64_t kGrowthPages = 64;
    constexpr uint64_t kLargestFile = 2ull * 1024 * 1024 * 1024; // as far as Jet addresses
    const uint64_t needed = (size + m_pageSize - 1) / m_pageSize * m_pageSize;
    const uint64_t ahead = std::min(m_reservedSize + kGrowthPages * m_pageSize, kLargestFile);
    if (ahead > needed && extendTo(ahead))
        return Status::ok();
    // Perhaps only the room ahead is missing: cut off what the failed write may have added.
    if (ahead > needed)
        if (Status status = m_database.truncate(m_reservedSize); !status)
            return status;
    return extendTo(needed);
}

Status JournaledFile::extendTo(uint64_t end) {
    if (Status status = m_database.allocate(m_reservedSize, end - m_reservedSize); !status)
        return status;
    m_reservedSize = end;
    return Status::ok();
}

// Writes the journal header when the batch has none yet and, for a page that existed
// before the batch, its original bytes. UINT32_MAX asks for the header only.
Status JournaledFile::journalOriginal(uint32_t number, const Page* original) {
    if (!m_journal) {
        if (m_broken)
            return *m_broken;
        Result<std::unique_ptr<File>> created = m_journalLocation.create();
        if (!created)
            return created.error();
        const std::vector<uint8_t> header = journal::encodeHeader(m_pageSize, m_durableSize, m_identity);
        if (Status status = (*created)->write(0, header); !status)
            return status;
        if (Status status = (*created)->sync(); !status)
            return status;
        m_journal = std::move(*created);
        m_journalEnd = m_journalLength = header.size();
        m_journaled.assign(static_cast<std::size_t>((m_durableSize + m_pageSize - 1) / m_pageSize), false);
    }
    if (number == UINT32_MAX || number >= m_journaled.size() || m_journaled[number])
        return Status::ok();
    // A cached page is decoded; the journal keeps pages as the disk stores them, so it
    // serves only where the two are the same.
    std::vector<uint8_t> read;
    if (!original || &m_stored != &m_database) {
        read.assign(m_pageSize, 0);
        std::size_t got = 0;
        if (Status status = readExactly(m_stored, static_cast<uint64_t>(number) * m_pageSize, read, got); !status)
            return status;
        original = &read;
    }
    journal::encodeRecord(number, *original, m_record);
    if (m_journalEnd + m_record.size() <= m_journalLength) {
        constexpr std::size_t kMostHeld = 1024 * 1024;
        if (m_heldRecords.empty())
            m_heldFrom = m_journalEnd;
        m_heldRecords.insert(m_heldRecords.end(), m_record.begin(), m_record.end());
        if (m_heldRecords.size() >= kMostHeld)
            if (Status status = writeHeldRecords(); !status)
                return status;
    } else {
        if (Status status = writeHeldRecords(); !status)
            return status;
        if (Status status = m_journal->write(m_journalEnd, m_record); !status)
            return status;
    }
    m_journalEnd += m_record.size();
    m_journalLength = std::max(m_journalLength, m_journalEnd);
    m_journaled[number] = true;
    ++m_journaledPages;
    return Status::ok();
}

Status JournaledFile::writeHeldRecords() {
    if (m_heldRecords.empty())
        return Status::ok();
    if (Status status = m_journal->write(m_heldFrom, m_heldRecords); !status)
        return status;
    m_heldRecords.clear();
    return Status::ok();
}

bool JournaledFile::newInStatement(uint32_t number) const {
    // Most statements change a handful of pages, and the last one changed is asked for most.
    for (auto at = m_undo.rbegin(); at != m_undo.rend(); ++at)
        if (at->number == number && !at->inBatch)
            return true;
    return false;
}

JournaledFile::Page JournaledFile::spareBuffer() {
    if (m_spare.empty())
        return Page();
    Page page = std::move(m_spare.back());
    m_spare.pop_back();
    return page;
}

// The page to write `length` bytes into at `offset`, with what they replace kept for
// rollbackStatement.
Result<JournaledFile::Page*> JournaledFile::writablePage(uint32_t number, std::size_t offset, std::size_t length) {
    const auto found = m_pages.find(number);
    if (found != m_pages.end()) {
        if (m_keepUndo && !newInStatement(number)) {
            const auto from = found->second.begin() + static_cast<std::ptrdiff_t>(offset);
            Page before = spareBuffer();
            before.assign(from, from + static_cast<std::ptrdiff_t>(length));
            m_undo.push_back({number, true, offset, std::move(before)});
        }
        return &found->second;
    }
    // A kept page is the original the journal needs, and the page to change.
    std::optional<Page> kept = m_clean.take(number);
    if (Status status = journalOriginal(number, kept ? &*kept : nullptr); !status) {
        if (kept)
            m_clean.put(number, std::move(*kept));
        return status.error();
    }
    Page page;
    if (kept) {
        page = std::move(*kept);
    } else {
        page = spareBuffer();
        page.assign(m_pageSize, 0);
        const bool overwritten = length == m_pageSize; // nothing to read first
        if (!overwritten && static_cast<uint64_t>(number) * m_pageSize < m_reservedSize) {
            std::size_t got = 0;
            if (Status status = readExactly(m_database, static_cast<uint64_t>(number) * m_pageSize, page, got); !status)
                return status.error();
        }
    }
    if (m_keepUndo)
        m_undo.push_back({number, false, 0, {}});
    Page* changed = &m_pages.emplace(number, std::move(page)).first->second;
    keepWithinMemory();
    return changed;
}

void JournaledFile::commitStatement() {
    constexpr std::size_t kSpareBuffers = 16;
    for (Undo& undo : m_undo)
        if (undo.inBatch && m_spare.size() < kSpareBuffers)
            m_spare.push_back(std::move(undo.before));
    m_undo.clear();
    m_keepUndo = true;
    m_batchSize = m_size;
}

void JournaledFile::rollbackStatement() {
    if (!m_keepUndo) { // nothing to undo the statement alone with
        dropBatch();
        return;
    }
    for (auto at = m_undo.rbegin(); at != m_undo.rend(); ++at) {
        if (at->inBatch)
            std::copy(at->before.begin(), at->before.end(),
                      m_pages[at->number].begin() + static_cast<std::ptrdiff_t>(at->offset));
        else
            m_pages.erase(at->number);
    }
    m_undo.clear();
    m_size = m_batchSize;
}

Status JournaledFile::commit() {
    if (!m_keepUndo) {
        dropBatch();
        return errors::unsupported("Committing in the middle of a statement that is undone only with its batch");
    }
    if (!m_undo.empty())
        rollbackStatement();
    if (!m_journal)
        return Status::ok(); // nothing was changed
    Status status = applyBatch();
    if (!status) {
        dropBatch();
        return status;
    }
    // The pages the batch changed that were in the file before it are kept for the
    // batches that follow (an append changes the same index pages again). Pages it added
    // are not: an import mostly fills them once, and keeping them would hold the whole
    // new file in memory; those read again are kept then.
    for (auto& [number, page] : m_pages)
        if (static_cast<uint64_t>(number + 1) * m_pageSize <= m_durableSize)
            m_clean.put(number, std::move(page));
    m_durableSize = m_batchSize;
    forgetBatch();
    keepWithinMemory();
    return status;
}

void JournaledFile::dropBatch() {
    m_undo.clear();
    m_keepUndo = true;
    m_clean.clear(); // what the file holds is read afresh after the journal put it back
    if (m_journal) {
        // Put the pages back from the journal; if even that fails, the journal stays
        // and the next open replays it.
        m_journal.reset();
        if (Result<Recovery> recovered = recover(m_stored, m_journalLocation, m_identity); !recovered)
            m_broken = recovered.error();
        Result<uint64_t> size = m_database.size();
        m_durableSize = size ? *size : m_durableSize;
    }
    forgetBatch();
}

Status JournaledFile::restoreDroppedBatch() {
    if (!m_broken)
        return Status::ok();
    Result<Recovery> recovered = recover(m_stored, m_journalLocation, m_identity);
    if (!recovered)
        return recovered.error();
    Result<uint64_t> size = m_database.size();
    if (!size)
        return size.error();
    m_broken.reset();
    m_durableSize = *size;
    m_clean.clear();
    forgetBatch();
    return Status::ok();
}

void JournaledFile::forgetBatch() {
    m_pages.clear();
    m_heldRecords.clear();
    m_journal.reset();
    m_journaled.clear();
    m_journaledPages = 0;
    m_size = m_batchSize = m_reservedSize = m_durableSize;
}

Status JournaledFile::applyBatch() {
    if (Status status = writeHeldRecords(); !status)
        return status;
    if (Status status = m_journal->sync(); !status)
        return status;
    // Runs of consecutive pages go out together: a new table's pages mostly are one run.
    constexpr std::size_t kMostPagesAWrite = 256;
    std::vector<std::span<const uint8_t>> run;
    uint64_t runStart = 0;
    uint64_t runEnd = 0;
    const auto writeRun = [&] {
        Status status = run.empty() ? Status::ok() : m_database.writeGathered(runStart, run);
        run.clear();
        return status;
    };
    // In page order, so that runs of consecutive pages are found.
    std::vector<std::pair<uint32_t, const Page*>> ordered;
    ordered.reserve(m_pages.size());
    for (const auto& [number, page] : m_pages)
        ordered.emplace_back(number, &page);
    std::sort(ordered.begin(), ordered.end());
    for (const auto& [number, page] : ordered) {
        const uint64_t offset = static_cast<uint64_t>(number) * m_pageSize;
        if (offset >= m_batchSize)
            continue;
        const std::size_t length = static_cast<std::size_t>(std::min<uint64_t>(m_pageSize, m_batchSize - offset));
        if (offset != runEnd || run.size() == kMostPagesAWrite) {
            if (Status status = writeRun(); !status)
                return status;
            runStart = offset;
        }
        run.push_back(std::span(*page).first(length));
        runEnd = offset + length;
    }
    if (Status status = writeRun(); !status)
        return status;
    if (m_reservedSize > m_batchSize)
        if (Status status = m_database.truncate(m_batchSize); !status)
            return status;
    if (Status status = m_database.sync(); !status)
        return status;
    // Until the journal is gone the batch is not committed: a failed removal drops it,
    // and dropBatch puts the pages back from the journal, still open.
    if (Status status = m_journalLocation.remove(); !status)
        return status;
    m_journal.reset();
    return Status::ok();
}

} // namespace storage
