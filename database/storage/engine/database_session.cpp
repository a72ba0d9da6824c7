#include "database/storage/engine/database_session.h"

#include "database/storage/crypto/database_codec.h"
#include "database/storage/crypto/page_codec_file.h"
#include "database/storage/engine/statements.h"
#include "database/storage/errors.h"
#include "database/storage/file/posix_file.h"
#include "database/storage/format/bytes.h"
#include "database/storage/format/header.h"

#include <algorithm>
#include <cstring>

#include <optional>

namespace storage {

namespace {

// How much is gathered before a batch is made durable: enough that the one statement
// per row of an import costs little, little enough that a crash loses at most a moment's
// work. The memory a batch may take is the journaled file's (see pageMemoryBudget).
constexpr int kBatchStatements = 1000000;

// A batch is due half a second after the last commit ended; one that changes pages
// already in the file, whose commit journals and rewrites each of them, runs half a
// second longer for every 4 MB of them, up to ten seconds. An append into a table with
// a large index touches most of its pages: committed every half second, it would write
// them over and over, and spend most of its time committing.
constexpr std::chrono::milliseconds kBatchTime{500};
constexpr std::size_t kRewrittenBytesPerBatchTime = 4u * 1024 * 1024;
constexpr std::chrono::milliseconds kLongestBatchTime{10000};

std::chrono::milliseconds batchTime(std::size_t rewrittenBytes) {
    const auto lengthened = kBatchTime * static_cast<long>(1 + rewrittenBytes / kRewrittenBytesPerBatchTime);
    return std::min(lengthened, kLongestBatchTime);
}

// The database reads through the journaled file without owning it.
class BorrowedFile final : public File {
public:
    explicit BorrowedFile(File& file) : m_file(file) {}
    Result<std::size_t> read(uint64_t offset, std::span<uint8_t> out) override { return m_file.read(offset, out); }
    Status write(uint64_t offset, std::span<const uint8_t> data) override { return m_file.write(offset, data); }
    Result<uint64_t> size() override { return m_file.size(); }
    Status sync() override { return m_file.sync(); }
    Status truncate(uint64_t size) override { return m_file.truncate(size); }

private:
    File& m_file;
};

Error readOnlyDatabase() {
    return {3027, "Cannot update.  Database or object is read-only.", ErrorKind::PermissionDenied};
}

// What the journal records of the file it was written for (see journal::Identity).
journal::Identity identityOf(File& file) {
    journal::Identity identity{};
    std::vector<uint8_t> page0(kJet4PageSize);
    Result<std::size_t> got = file.read(0, page0);
    page0.resize(got ? *got : 0);
    Result<DatabaseHeader> header = decodeHeader(page0, std::string());
    if (!header)
        return identity;
    uint64_t date = 0;
    std::memcpy(&date, &header->creationDate, sizeof date);
    writeU64(identity, 0, date);
    writeU32(identity, 8, header->databaseKey);
    writeU16(identity, 12, header->codePage);
    writeU16(identity, 14, header->sortOrder);
    return identity;
}

// Opens the database file, under the test layer when there is one.
Result<std::unique_ptr<File>> openFile(const std::string& path, bool writable, const OpenOptions& options,
                                       const DatabaseSession::FileLayer& layer) {
    int errorNumber = 0;
    std::unique_ptr<File> file = PosixFile::open(path, writable, errorNumber);
    if (!file)
        return errors::cannotOpenFile(path, options.engine);
    if (layer.database)
        file = layer.database(std::move(file));
    return file;
}

// A reader found the journal of an interrupted batch: it takes the writer's lock for a
// moment and puts the database back, as a writer would at its open.
Status recoverForReader(const std::string& path, const OpenOptions& options, const DatabaseSession::FileLayer& layer,
                        JournalLocation& journal, std::vector<std::string>& notices) {
    auto lock = DatabaseLock::acquire(path, DatabaseLock::Mode::Write);
    if (!lock)
        return errors::unfinishedChange(path, lock.error().kind == ErrorKind::PermissionDenied);
    Result<std::unique_ptr<File>> file = openFile(path, true, options, layer);
    if (!file)
        return errors::unfinishedChange(path, true);
    Result<JournaledFile::Recovery> recovered = JournaledFile::recover(**file, journal, identityOf(**file));
    if (!recovered)
        return recovered.error();
    if (recovered->outcome == JournaledFile::Recovery::Outcome::SetAside)
        notices.push_back(errors::journalSetAside(path, recovered->setAsidePath));
    return Status::ok();
}

} // namespace

Result<std::unique_ptr<DatabaseSession>> DatabaseSession::open(const std::string& path, const OpenOptions& options,
                                                               Access access, const FileLayer& layer) {
    // Opening read-only first gives the engine's own errors for a missing file, a wrong
    // format or password, before anything is locked or written. Its page codec, keyed
    // from the password, serves the session too.
    std::optional<std::shared_ptr<crypto::PageCodec>> codec;
    {
        OpenOptions probe = options;
        probe.readOnly = true;
        auto checked = Database::open(path, probe);
        if (!checked && checked.error().kind != ErrorKind::Corruption)
            return checked.error();
        if (checked)
            codec = (*checked)->pageCodec();
    }

    std::unique_ptr<DatabaseSession> session(new DatabaseSession());
    session->m_path = path;
    session->m_journalLocation = std::make_unique<PosixJournalLocation>(path);
    if (layer.journal)
        session->m_journalLocation = layer.journal(std::move(session->m_journalLocation));

    const bool wantsWrite = access != Access::Read;
    bool writing = wantsWrite;
    // A reader that finds an interrupted batch's journal puts it back and starts again;
    // another process may be doing the same, hence a few rounds.
    for (int round = 0;; ++round) {
        auto lock = DatabaseLock::acquire(path, wantsWrite ? DatabaseLock::Mode::Write : DatabaseLock::Mode::Read);
        writing = wantsWrite;
        if (!lock && wantsWrite && lock.error().kind == ErrorKind::PermissionDenied &&
            access == Access::ReadWriteIfAllowed) {
            lock = DatabaseLock::acquire(path, DatabaseLock::Mode::Read);
            writing = false;
        }
        if (!lock)
            return lock.error();
        session->m_lock = std::move(*lock);
        if (writing)
            break; // the journaled file puts back what it finds
        auto leftOver = session->m_journalLocation->openExisting();
        if (!leftOver)
            return leftOver.error();
        if (!*leftOver)
            break;
        leftOver->reset();
        session->m_lock.reset();
        if (round == 3)
            return errors::unfinishedChange(path, false);
        if (Status status = recoverForReader(path, options, layer, *session->m_journalLocation, session->m_notices);
            !status)
            return status.error();
    }

    Result<std::unique_ptr<File>> file = openFile(path, writing, options, layer);
    if (!file)
        return file.error();
    session->m_file = std::move(*file);
    if (!codec) {
        auto found = crypto::pageCodecOf(*session->m_file, options.password, path);
        if (!found)
            return found.error();
        codec = *found;
    }
    // Pages are decoded right above the file on disk: the journal below sees them as stored.
    if (*codec)
        session->m_decoded = std::make_unique<crypto::PageCodecFile>(*session->m_file, *codec, kJet4PageSize);
    File& pages = session->m_decoded ? *session->m_decoded : *session->m_file;

    std::unique_ptr<File> reading;
    if (writing) {
        auto journaled = JournaledFile::open(pages, *session->m_journalLocation, kJet4PageSize,
                                             identityOf(*session->m_file), session->m_file.get());
        if (!journaled)
            return journaled.error();
        session->m_journaled = std::move(*journaled);
        if (session->m_journaled->recovery().outcome == JournaledFile::Recovery::Outcome::SetAside)
            session->m_notices.push_back(errors::journalSetAside(path, session->m_journaled->recovery().setAsidePath));
        reading = std::make_unique<BorrowedFile>(*session->m_journaled);
    } else {
        reading = std::make_unique<BorrowedFile>(pages);
    }

    OpenOptions readOptions = options;
    readOptions.readOnly = true;
    auto database = Database::openDecoded(std::move(reading), path, readOptions, *codec);
    if (!database)
        return database.error();
    session->m_database = std::move(*database);
    if (writing)
        session->m_pager = std::make_unique<Pager>(*session->m_journaled, session->m_database->pages());
    if (writing) {
        session->m_writers = std::make_unique<TableWriters>(*session->m_pager, session->m_database->format());
        Database* opened = session->m_database.get();
        session->m_writers->setNames([opened](uint32_t page) {
            for (const CatalogEntry& entry : opened->catalog().entries())
                if (entry.type == object_type::kLocalTable && entry.id == static_cast<int32_t>(page))
                    return entry.name;
            return std::string();
        });
    }
    session->m_batchStarted = std::chrono::steady_clock::now();
    return session;
}

DatabaseSession::~DatabaseSession() {
    // A failed commit has put the database back as the last commit left it; there is
    // nobody left to tell.
    close().ignoreError();
}

Status DatabaseSession::close() {
    // An open that failed part of the way has no writers, and nothing to commit.
    if (m_closed || !m_journaled || !m_writers)
        return Status::ok();
    m_closed = true;
    if (Status status = ready(); !status)
        return status;
    return commitBatch();
}

Status DatabaseSession::execute(const sql::Statement& statement) {
    if (std::holds_alternative<sql::SelectAll>(statement))
        return Status::ok();
    if (!m_journaled)
        return readOnlyDatabase();
    if (Status status = ready(); !status)
        return status;
    if (const auto* create = std::get_if<sql::CreateTable>(&statement))
        return finishStatement(createTable(WriteTarget{*m_database, *m_pager, *m_writers}, *create));
    return execute(std::get<sql::Insert>(statement));
}

Status DatabaseSession::execute(const sql::Insert& insert) {
    if (!m_journaled)
        return readOnlyDatabase();
    if (Status status = ready(); !status)
        return status;
    return finishStatement(insertRow(WriteTarget{*m_database, *m_pager, *m_writers}, insert));
}

Status DatabaseSession::createIndexedTable(const std::string& name, const std::vector<NewColumn>& columns,
                                           const std::vector<NewIndex>& indexes) {
    if (!m_journaled)
        return readOnlyDatabase();
    if (Status status = ready(); !status)
        return status;
    return finishStatement(createTable(WriteTarget{*m_database, *m_pager, *m_writers}, name, columns, indexes));
}

// Whether statements may be carried out: not after a dropped batch that could not be
// put back, until it can be (the disk may have come back), and then read afresh.
Status DatabaseSession::ready() {
    if (m_journaled->droppedBatchPending()) {
        if (Status status = m_journaled->restoreDroppedBatch(); !status)
            return status;
        m_broken.reset();
        forgetDroppedChanges(Status::ok()).ignoreError(); // a catalogue not read again sets m_broken
    }
    if (m_broken)
        return *m_broken;
    return Status::ok();
}

// Something the write relies on is damaged: nothing more is written, and the user hears
// how to find out what.
Status DatabaseSession::refusedWhenDamaged(Status status) const {
    if (status || status.error().kind != ErrorKind::Corruption)
        return status;
    Error refused = status.error();
    refused.description += errors::damagedForWriting(m_path);
    return refused;
}

// Keeps or drops what the statement changed, and makes the batch durable when it is due.
Status DatabaseSession::finishStatement(Status status) {
    // Index entries that wait for the commit change pages then: the room on the disk
    // that they may need is taken with the statement that brought them, so that a full
    // disk fails a statement and never a commit.
    IndexWriter::LateWork late;
    if (status) {
        late = m_writers->lateWork();
        status = m_journaled->reserveRoom(late.pages, late.newPages);
    }
    status = refusedWhenDamaged(status);
    if (!status) {
        m_journaled->rollbackStatement();
        m_database->pages().clearCache(); // it may hold pages as the dropped statement left them
        // The writers are read afresh below: what they hold of the statements kept so
        // far must be in the pages first. Those pages are in the batch already, so this
        // needs no room on the disk.
        m_writers->dropStatement();
        if (Status written = writePending(); !written) {
            m_journaled->dropBatch();
            m_statementsInBatch = 0; // they were dropped with it
            return forgetDroppedChanges(refusedWhenDamaged(written));
        }
        return forgetDroppedChanges(status);
    }
    m_journaled->commitStatement();
    m_writers->keepStatement();
    ++m_statementsInBatch;
    // The entries that wait take memory now, and most pages they will change are in the
    // file already: they count as such.
    if (m_statementsInBatch >= kBatchStatements ||
        m_journaled->batchFull(late.pages + late.bytes / m_pager->pageSize()) ||
        std::chrono::steady_clock::now() - m_batchStarted >=
            batchTime((m_journaled->rewrittenPages() + late.pages) * m_pager->pageSize()))
        return commitBatch();
    return Status::ok();
}

// The tables' counters and index pages, which the writers keep between commits, written
// as a statement of their own. Its failure drops the batch (see the callers), so it keeps
// no undo: thousands of pages may be written in it.
Status DatabaseSession::writePending() {
    m_journaled->beginStatementWithoutUndo();
    if (Status status = m_writers->writePending(); !status) {
        m_journaled->rollbackStatement();
        return status;
    }
    m_journaled->commitStatement();
    m_writers->keepStatement();
    return Status::ok();
}

Status DatabaseSession::commitBatch() {
    const int statements = m_statementsInBatch;
    m_statementsInBatch = 0;
    Status status = writePending();
    if (status)
        status = m_journaled->commit();
    else
        m_journaled->dropBatch();
    m_batchStarted = std::chrono::steady_clock::now();
    if (!status) // the batch is gone: so must be what shows it
        return forgetDroppedChanges(refusedWhenDamaged(status));
    m_durableStatements += static_cast<uint64_t>(statements);
    return status;
}

// After changes were dropped, the pages, page count, table writers and catalogue read
// since may still show them: read everything afresh from what the file now holds.
Status DatabaseSession::forgetDroppedChanges(Status failure) {
    m_database->pages().clearCache();
    m_database->pages().setPageCount(static_cast<uint32_t>(*m_journaled->size() / m_pager->pageSize()));
    m_writers->clear();
    // What went wrong first is what the caller must hear; a catalogue that cannot be read
    // again would have later statements written against what is no longer there.
    if (Status reloaded = m_database->reloadCatalog(); !reloaded)
        m_broken = reloaded.error();
    return failure;
}

} // namespace storage
