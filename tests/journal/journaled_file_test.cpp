#include "database/storage/format/bytes.h"
#include "database/storage/journal/journal_format.h"
#include "database/storage/journal/journaled_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

using namespace storage;

namespace {

constexpr uint32_t kPage = 64;
constexpr journal::Identity kIdentity = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

// Counts the operations that change files; the one numbered `failAt` and every later
// one fail, as if the process had died there (with `once`, only that one fails).
struct Faults {
    int operations = 0;
    int failAt = 0; // 0: never
    bool once = false;
    bool dead() { return failAt != 0 && (once ? ++operations == failAt : ++operations >= failAt); }
};

// A file in memory that remembers what was last synced, so that a crash can keep or
// lose the writes since then.
class CrashableFile final : public File {
public:
    CrashableFile(std::vector<uint8_t> bytes, Faults& faults) : m_bytes(bytes), m_synced(bytes), m_faults(faults) {}

    Result<std::size_t> read(uint64_t offset, std::span<uint8_t> out) override {
        ++reads;
        if (offset >= m_bytes.size())
            return std::size_t{0};
        const std::size_t n = std::min<std::size_t>(out.size(), m_bytes.size() - offset);
        std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(offset), n, out.begin());
        return n;
    }
    Status write(uint64_t offset, std::span<const uint8_t> data) override {
        if (m_faults.dead())
            return Error{0, "No space left on device"};
        if (m_bytes.size() < offset + data.size())
            m_bytes.resize(offset + data.size());
        std::copy(data.begin(), data.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        return Status::ok();
    }
    Result<uint64_t> size() override { return static_cast<uint64_t>(m_bytes.size()); }
    Status sync() override {
        if (m_faults.dead())
            return Error{0, "I/O error"};
        m_synced = m_bytes;
        return Status::ok();
    }
    Status truncate(uint64_t size) override {
        if (m_faults.dead())
            return Error{0, "I/O error"};
        m_bytes.resize(size);
        return Status::ok();
    }

    std::vector<uint8_t>& bytes() { return m_bytes; }
    const std::vector<uint8_t>& synced() const { return m_synced; }
    int reads = 0;

private:
    std::vector<uint8_t> m_bytes;
    std::vector<uint8_t> m_synced;
    Faults& m_faults;
};

// A journal that lives in memory; the test keeps it across the "crash".
class MemoryJournal final : public JournalLocation {
public:
    explicit MemoryJournal(Faults& faults) : m_faults(faults) {}

    Result<std::unique_ptr<File>> create() override {
        if (m_faults.dead())
            return Error{0, "No space left on device"};
        m_file = std::make_shared<CrashableFile>(std::vector<uint8_t>{}, m_faults);
        return std::unique_ptr<File>(new SharedFile(m_file));
    }
    Result<std::unique_ptr<File>> openExisting() override {
        if (!m_file)
            return std::unique_ptr<File>();
        return std::unique_ptr<File>(new SharedFile(m_file));
    }
    Status remove() override {
        if (m_faults.dead())
            return Error{0, "I/O error"};
        m_file.reset();
        return Status::ok();
    }
    Result<std::string> setAside() override {
        m_setAside = std::move(m_file);
        return std::string("journal.not-applied");
    }
    std::shared_ptr<CrashableFile>& file() { return m_file; }
    const std::shared_ptr<CrashableFile>& setAsideFile() const { return m_setAside; }

private:
    class SharedFile final : public File {
    public:
        explicit SharedFile(std::shared_ptr<CrashableFile> file) : m_file(std::move(file)) {}
        Result<std::size_t> read(uint64_t offset, std::span<uint8_t> out) override { return m_file->read(offset, out); }
        Status write(uint64_t offset, std::span<const uint8_t> data) override { return m_file->write(offset, data); }
        Result<uint64_t> size() override { return m_file->size(); }
        Status sync() override { return m_file->sync(); }
        Status truncate(uint64_t size) override { return m_file->truncate(size); }

    private:
        std::shared_ptr<CrashableFile> m_file;
    };

    Faults& m_faults;
    std::shared_ptr<CrashableFile> m_file;
    std::shared_ptr<CrashableFile> m_setAside;
};

std::vector<uint8_t> pages(std::initializer_list<uint8_t> fills) {
    std::vector<uint8_t> bytes;
    for (const uint8_t fill : fills)
        bytes.insert(bytes.end(), kPage, fill);
    return bytes;
}

std::vector<uint8_t> readAll(File& file) {
    std::vector<uint8_t> bytes(static_cast<std::size_t>(*file.size()));
    EXPECT_TRUE(file.read(0, bytes));
    return bytes;
}

// Three statements: change page 1, grow the file by two pages, change page 0 and the new page 3.
Status runBatch(JournaledFile& file) {
    const std::vector<uint8_t> a(10, 0xA1), b(2 * kPage, 0xB2), c(kPage + 8, 0xC3);
    if (Status status = file.write(kPage + 5, a); !status)
        return status;
    file.commitStatement();
    if (Status status = file.write(3 * kPage, b); !status)
        return status;
    file.commitStatement();
    if (Status status = file.write(kPage - 4, std::span(c).first(8)); !status)
        return status;
    if (Status status = file.write(4 * kPage, std::span(c).first(kPage)); !status)
        return status;
    file.commitStatement();
    return file.commit();
}

std::vector<uint8_t> afterBatch() {
    std::vector<uint8_t> expected = pages({1, 2, 3});
    std::fill_n(expected.begin() + kPage + 5, 10, 0xA1);
    expected.resize(5 * kPage, 0);
    std::fill_n(expected.begin() + 3 * kPage, 2 * kPage, 0xB2);
    std::fill_n(expected.begin() + kPage - 4, 8, 0xC3);
    std::fill_n(expected.begin() + 4 * kPage, kPage, 0xC3);
    return expected;
}

TEST(JournaledFile, StatementsAreSeenAtOnceAndReachTheDiskAtCommit) {
    Faults faults;
    CrashableFile disk(pages({1, 2, 3}), faults);
    MemoryJournal journal(faults);
    auto file = JournaledFile::open(disk, journal, kPage, kIdentity);
    ASSERT_TRUE(file);

    const std::vector<uint8_t> data(kPage, 0x77);
    ASSERT_TRUE((*file)->write(kPage, data));
    EXPECT_EQ(readAll(**file)[kPage], 0x77);
    EXPECT_EQ(disk.bytes()[kPage], 2) << "nothing reaches the disk before the commit";
    (*file)->rollbackStatement();
    EXPECT_EQ(readAll(**file), pages({1, 2, 3}));

    ASSERT_TRUE(runBatch(**file));
    EXPECT_EQ(disk.bytes(), afterBatch());
    EXPECT_EQ(disk.synced(), afterBatch());
    EXPECT_FALSE(journal.file()) << "the journal is gone after the commit";
    EXPECT_EQ(readAll(**file), afterBatch());
}

TEST(JournaledFile, RolledBackGrowthLeavesTheFileAsItWas) {
    Faults faults;
    CrashableFile disk(pages({1, 2}), faults);
    MemoryJournal journal(faults);
    auto file = JournaledFile::open(disk, journal, kPage, kIdentity);
    const std::vector<uint8_t> data(3 * kPage, 0x55);
    ASSERT_TRUE((*file)->write(2 * kPage, data));
    EXPECT_EQ(*(*file)->size(), 5u * kPage);
    (*file)->rollbackStatement();
    EXPECT_EQ(*(*file)->size(), 2u * kPage);
    ASSERT_TRUE((*file)->commit());
    EXPECT_EQ(disk.bytes(), pages({1, 2}));
    EXPECT_FALSE(journal.file());
}

// A crash at every operation that changes a file, keeping or losing what was written
// since the last sync, leaves after recovery the database before or after the batch.
TEST(JournaledFile, ACrashAtAnyPointLeavesTheBatchWholeOrAbsent) {
    int outcomesBefore = 0, outcomesAfter = 0;
    for (const bool keepUnsynced : {true, false}) {
        for (int failAt = 1;; ++failAt) {
            SCOPED_TRACE(testing::Message() << "operation " << failAt << (keepUnsynced ? ", writes kept" : ", lost"));
            Faults faults{0, failAt};
            CrashableFile disk(pages({1, 2, 3}), faults);
            MemoryJournal journal(faults);
            auto file = JournaledFile::open(disk, journal, kPage, kIdentity);
            ASSERT_TRUE(file);
            const bool finished = static_cast<bool>(runBatch(**file));
            file->reset();

            Faults none;
            CrashableFile restarted(keepUnsynced ? disk.bytes() : disk.synced(), none);
            MemoryJournal survivor(none);
            if (journal.file())
                survivor.file() = std::make_shared<CrashableFile>(
                    keepUnsynced ? journal.file()->bytes() : journal.file()->synced(), none);
            ASSERT_TRUE(JournaledFile::recover(restarted, survivor, kIdentity));
            EXPECT_FALSE(survivor.file());
            if (restarted.bytes() == pages({1, 2, 3}))
                ++outcomesBefore;
            else if (restarted.bytes() == afterBatch())
                ++outcomesAfter;
            else
                ADD_FAILURE() << "the database is neither before nor after the batch";
            if (finished)
                break;
        }
    }
    EXPECT_GT(outcomesBefore, 0);
    EXPECT_GT(outcomesAfter, 0);
}

// After runBatch: change pages 1 and 4 again (both kept in memory by the first batch),
// read the whole file, and grow it by a page.
Status runSecondBatch(JournaledFile& file) {
    const std::vector<uint8_t> d(kPage, 0xD4);
    if (Status status = file.write(kPage + 20, std::span(d).first(6)); !status)
        return status;
    file.commitStatement();
    readAll(file);
    if (Status status = file.write(4 * kPage + 1, std::span(d).first(kPage - 1)); !status)
        return status;
    if (Status status = file.write(5 * kPage, d); !status)
        return status;
    file.commitStatement();
    return file.commit();
}

std::vector<uint8_t> afterSecondBatch() {
    std::vector<uint8_t> expected = afterBatch();
    std::fill_n(expected.begin() + kPage + 20, 6, 0xD4);
    std::fill_n(expected.begin() + 4 * kPage + 1, kPage - 1, 0xD4);
    expected.insert(expected.end(), kPage, 0xD4);
    return expected;
}

// The pages a batch keeps in memory for the next one are what the file holds: a crash
// in the next batch leaves it whole or absent, and a batch that failed and was put back
// (at once, or when the disk came back) leaves nothing of itself in memory. With room
// for two pages or for all of them.
TEST(JournaledFile, PagesKeptBetweenBatchesAreWhatTheFileHolds) {
    for (const auto& [memory, once] :
         {std::pair{std::size_t{2 * kPage}, false}, std::pair{std::size_t{2 * kPage}, true},
          std::pair{std::size_t{1024 * kPage}, false}, std::pair{std::size_t{1024 * kPage}, true}}) {
        for (int failAt = 1;; ++failAt) {
            SCOPED_TRACE(testing::Message()
                         << memory / kPage << " pages, second batch " << (once ? "fails" : "dies") << " at " << failAt);
            Faults faults;
            CrashableFile disk(pages({1, 2, 3}), faults);
            MemoryJournal journal(faults);
            auto file = JournaledFile::open(disk, journal, kPage, kIdentity, nullptr, memory);
            ASSERT_TRUE(file);
            ASSERT_TRUE(runBatch(**file));
            faults.failAt = faults.operations + failAt;
            faults.once = once;
            const bool finished = static_cast<bool>(runSecondBatch(**file));
            const bool struck = faults.operations >= faults.failAt; // a failure once may be gone round

            Faults none;
            CrashableFile restarted(disk.synced(), none);
            MemoryJournal survivor(none);
            if (journal.file())
                survivor.file() = std::make_shared<CrashableFile>(journal.file()->synced(), none);
            ASSERT_TRUE(JournaledFile::recover(restarted, survivor, kIdentity));
            EXPECT_TRUE(restarted.bytes() == afterBatch() || restarted.bytes() == afterSecondBatch());

            // The disk comes back: the file reads as the disk now holds it, and takes the batch again.
            if (!finished) {
                (*file)->rollbackStatement();
                (*file)->dropBatch();
            }
            faults.failAt = 0;
            ASSERT_TRUE((*file)->restoreDroppedBatch());
            EXPECT_EQ(readAll(**file), disk.bytes());
            EXPECT_EQ(disk.bytes(), finished ? afterSecondBatch() : afterBatch());
            if (!finished) {
                ASSERT_TRUE(runSecondBatch(**file));
                EXPECT_EQ(disk.bytes(), afterSecondBatch());
            }
            if (!struck)
                break;
        }
    }
}

TEST(JournaledFile, ABatchReadsNothingEarlierBatchesReadOrChanged) {
    Faults faults;
    CrashableFile disk(pages({1, 2, 3}), faults);
    MemoryJournal journal(faults);
    auto file = JournaledFile::open(disk, journal, kPage, kIdentity);
    EXPECT_EQ(readAll(**file), pages({1, 2, 3}));
    const std::vector<uint8_t> data(4, 0x44);
    ASSERT_TRUE((*file)->write(kPage, data));
    (*file)->commitStatement();
    ASSERT_TRUE((*file)->commit());

    const int readsBefore = disk.reads;
    for (const uint64_t offset : {uint64_t{0}, uint64_t{kPage + 8}, uint64_t{2 * kPage}}) {
        ASSERT_TRUE((*file)->write(offset, data));
        (*file)->commitStatement();
    }
    ASSERT_TRUE((*file)->commit());
    std::vector<uint8_t> expected = pages({1, 2, 3});
    for (const std::size_t offset :
         {std::size_t{0}, std::size_t{kPage}, std::size_t{kPage + 8}, std::size_t{2 * kPage}})
        std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(offset), 4, 0x44);
    EXPECT_EQ(readAll(**file), expected);
    EXPECT_EQ(disk.bytes(), expected);
    EXPECT_EQ(disk.reads, readsBefore) << "neither the journal's originals nor the pages are read again";
}

TEST(JournaledFile, ABatchIsFullWhenItsPagesTakeTheMemoryAllowed) {
    Faults faults;
    CrashableFile disk(pages({1, 2, 3}), faults);
    MemoryJournal journal(faults);
    auto file = JournaledFile::open(disk, journal, kPage, kIdentity, nullptr, 2 * kPage);
    const std::vector<uint8_t> data(4, 0x44);
    ASSERT_TRUE((*file)->write(0, data));
    (*file)->commitStatement();
    EXPECT_FALSE((*file)->batchFull());
    ASSERT_TRUE((*file)->write(2 * kPage, data));
    (*file)->commitStatement();
    EXPECT_TRUE((*file)->batchFull());
    EXPECT_EQ((*file)->rewrittenPages(), 2u);
}

TEST(JournaledFile, AFullDiskFailsTheStatementThatNeedsTheSpace) {
    Faults faults;
    CrashableFile disk(pages({1, 2}), faults);
    MemoryJournal journal(faults);
    auto file = JournaledFile::open(disk, journal, kPage, kIdentity);
    const std::vector<uint8_t> small(4, 0x44);
    ASSERT_TRUE((*file)->write(0, small));
    (*file)->commitStatement();

    faults.failAt = faults.operations + 1; // the disk is full from now on
    const std::vector<uint8_t> growth(2 * kPage, 0x66);
    EXPECT_FALSE((*file)->write(2 * kPage, growth));
    (*file)->rollbackStatement();

    faults.failAt = 0; // room again
    ASSERT_TRUE((*file)->commit());
    std::vector<uint8_t> expected = pages({1, 2});
    std::fill_n(expected.begin(), 4, 0x44);
    EXPECT_EQ(disk.bytes(), expected);
}

// The statement that writes back what callers kept in memory keeps no undo: rolling it
// back puts back its whole batch, a commit in its middle fails, and the file goes on.
TEST(JournaledFile, AStatementWithoutUndoIsUndoneWithItsBatch) {
    for (const bool rolledBack : {true, false}) {
        SCOPED_TRACE(rolledBack ? "rolled back" : "committed unfinished");
        Faults none;
        CrashableFile disk(pages({1, 2, 3}), none);
        MemoryJournal journal(none);
        auto file = JournaledFile::open(disk, journal, kPage, kIdentity);
        ASSERT_TRUE(file);
        const std::vector<uint8_t> kept(kPage, 0x44), written(kPage, 0x55);
        ASSERT_TRUE((*file)->write(0, kept));
        (*file)->commitStatement();
        (*file)->beginStatementWithoutUndo();
        ASSERT_TRUE((*file)->write(kPage, written));
        ASSERT_TRUE((*file)->write(3 * kPage, written));
        if (rolledBack)
            (*file)->rollbackStatement();
        else
            EXPECT_FALSE((*file)->commit());
        EXPECT_EQ(readAll(**file), pages({1, 2, 3}));
        EXPECT_EQ(disk.bytes(), pages({1, 2, 3}));
        EXPECT_FALSE(journal.file());

        ASSERT_TRUE((*file)->write(0, kept));
        (*file)->commitStatement();
        ASSERT_TRUE((*file)->commit());
        EXPECT_EQ(disk.bytes(), pages({0x44, 2, 3}));
    }
}

TEST(JournaledFile, AJournalWithoutAnIntactHeaderIsDiscarded) {
    Faults none;
    CrashableFile disk(pages({1, 2}), none);
    MemoryJournal journal(none);
    journal.file() = std::make_shared<CrashableFile>(std::vector<uint8_t>{'T', 'W', 'J'}, none);
    ASSERT_TRUE(JournaledFile::recover(disk, journal, kIdentity));
    EXPECT_EQ(disk.bytes(), pages({1, 2}));
    EXPECT_FALSE(journal.file());
}

// The process dies again while it puts back what a crash left: the next open finishes it.
TEST(JournaledFile, ACrashDuringRecoveryIsPutRightByTheNextOpen) {
    Faults counting{0, 1 << 30}; // counts, never fails
    {
        CrashableFile disk(pages({1, 2, 3}), counting);
        MemoryJournal journal(counting);
        ASSERT_TRUE(runBatch(**JournaledFile::open(disk, journal, kPage, kIdentity)));
    }
    // Died syncing the database: every page of the batch written, the journal whole.
    Faults first{0, counting.operations - 1};
    CrashableFile crashed(pages({1, 2, 3}), first);
    MemoryJournal left(first);
    EXPECT_FALSE(runBatch(**JournaledFile::open(crashed, left, kPage, kIdentity)));
    ASSERT_TRUE(left.file());
    ASSERT_NE(crashed.bytes(), pages({1, 2, 3}));

    for (const bool keepUnsynced : {true, false}) {
        for (int failAt = 1;; ++failAt) {
            SCOPED_TRACE(testing::Message() << "recovery dies at " << failAt << (keepUnsynced ? ", kept" : ", lost"));
            Faults again{0, failAt};
            CrashableFile disk(crashed.bytes(), again);
            MemoryJournal journal(again);
            journal.file() = std::make_shared<CrashableFile>(left.file()->bytes(), again);
            const bool finished = static_cast<bool>(JournaledFile::recover(disk, journal, kIdentity));

            Faults none;
            CrashableFile reopened(keepUnsynced ? disk.bytes() : disk.synced(), none);
            MemoryJournal survivor(none);
            if (journal.file())
                survivor.file() = std::make_shared<CrashableFile>(journal.file()->bytes(), none);
            ASSERT_TRUE(JournaledFile::recover(reopened, survivor, kIdentity));
            EXPECT_EQ(reopened.bytes(), pages({1, 2, 3}));
            if (finished)
                break;
        }
    }
}

// A crash leaves a journal; the file beside it is then replaced by another database,
// or by one that is shorter than the file the batch began with.
TEST(JournaledFile, AJournalOfAnotherFileIsSetAsideNotApplied) {
    for (const bool sameIdentity : {false, true}) {
        Faults faults{0, 5}; // dies once the journal holds its first record
        CrashableFile crashed(pages({1, 2, 3}), faults);
        MemoryJournal journal(faults);
        auto file = JournaledFile::open(crashed, journal, kPage, kIdentity);
        ASSERT_TRUE(file);
        EXPECT_FALSE(runBatch(**file));
        file->reset();
        ASSERT_TRUE(journal.file());

        Faults none;
        const journal::Identity other = {9};
        CrashableFile replaced(sameIdentity ? pages({7}) : pages({7, 7, 7, 7}), none);
        auto recovered = JournaledFile::recover(replaced, journal, sameIdentity ? kIdentity : other);
        ASSERT_TRUE(recovered);
        EXPECT_EQ(recovered->outcome, JournaledFile::Recovery::Outcome::SetAside);
        EXPECT_EQ(replaced.bytes(), sameIdentity ? pages({7}) : pages({7, 7, 7, 7}));
        EXPECT_FALSE(journal.file());
        EXPECT_TRUE(journal.setAsideFile());
    }
}

TEST(PosixJournalLocation, CreatesReopensAndRemovesTheJournalBesideTheDatabase) {
    testsupport::TempDir dir;
    PosixJournalLocation location(dir.file("db.accdb"));
    EXPECT_EQ(location.path(), dir.file("db.accdb-journal"));
    auto none = location.openExisting();
    ASSERT_TRUE(none);
    EXPECT_FALSE(*none);
    auto created = location.create();
    ASSERT_TRUE(created);
    const std::vector<uint8_t> bytes{1, 2, 3};
    ASSERT_TRUE((*created)->write(0, bytes));
    created->reset();
    auto reopened = location.openExisting();
    ASSERT_TRUE(reopened && *reopened);
    EXPECT_EQ(*(*reopened)->size(), 3u);
    reopened->reset();
    ASSERT_TRUE(location.remove());
    EXPECT_FALSE(std::filesystem::exists(location.path()));
}

// A crash just before an upgrade leaves a journal of the second version, whose records
// hold pages as they are: the new version puts the batch back from it.
TEST(JournaledFile, ASecondVersionJournalIsStillReplayed) {
    std::vector<uint8_t> bytes(journal::kHeaderSize, 0);
    const std::string magic = "TWJRNL02";
    std::copy(magic.begin(), magic.end(), bytes.begin());
    writeU32(bytes, 8, kPage);
    writeU64(bytes, 16, 3 * kPage);
    std::copy(kIdentity.begin(), kIdentity.end(), bytes.begin() + 24);
    writeU32(bytes, 40, journal::crc32(std::span(bytes).first(40)));
    std::vector<uint8_t> record(4 + kPage + 4, 2); // page 1, which held twos
    writeU32(record, 0, 1);
    writeU32(record, 4 + kPage, journal::crc32(std::span(record).first(4 + kPage)));
    bytes.insert(bytes.end(), record.begin(), record.end());

    Faults none;
    CrashableFile disk(pages({1, 9, 3, 9}), none); // page 1 changed, one page added
    MemoryJournal journal(none);
    journal.file() = std::make_shared<CrashableFile>(bytes, none);
    auto recovered = JournaledFile::recover(disk, journal, kIdentity);
    ASSERT_TRUE(recovered);
    EXPECT_EQ(recovered->outcome, JournaledFile::Recovery::Outcome::Restored);
    EXPECT_EQ(disk.bytes(), pages({1, 2, 3}));
}

// Records of pages that compress and of pages that do not give them back byte for byte;
// a record with any byte changed, or cut short, gives nothing back.
TEST(JournalRecords, GiveBackEveryPageExactlyAndNothingOfADamagedOne) {
    constexpr uint32_t kSize = 4096;
    std::vector<uint8_t> noise(kSize), halfEmpty(kSize, 0);
    uint32_t seed = 12345;
    for (std::size_t i = 0; i < kSize; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise[i] = static_cast<uint8_t>(seed >> 24);
        if (i < kSize / 2)
            halfEmpty[i] = noise[i];
    }
    const journal::Header header{kSize, 0, kIdentity, true};
    std::vector<uint8_t> record;
    journal::encodeRecord(7, halfEmpty, record);
    EXPECT_LT(record.size(), kSize * 3 / 4) << "the empty half is not stored";
    for (const std::vector<uint8_t>& page : {halfEmpty, noise}) {
        journal::encodeRecord(7, page, record);
        ASSERT_EQ(journal::recordSize(header, std::span(record).first(journal::recordPrefixSize(header))),
                  record.size());
        std::vector<uint8_t> original;
        ASSERT_EQ(journal::decodeRecord(header, record, original), 7u);
        EXPECT_EQ(original, page);
        EXPECT_FALSE(journal::decodeRecord(header, std::span(record).first(record.size() - 1), original));
        for (std::size_t at = 0; at < record.size(); ++at) {
            record[at] ^= 0x10;
            EXPECT_FALSE(journal::decodeRecord(header, record, original)) << "byte " << at << " changed";
            record[at] ^= 0x10;
        }
    }
}

// Journals written before the checksum took four bytes a step must still be read.
TEST(JournalChecksum, IsTheStandardCrc32InPiecesOfAnyLength) {
    const std::string check = "123456789";
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(check.data()), check.size());
    EXPECT_EQ(storage::journal::crc32(bytes), 0xCBF43926u);
    for (std::size_t split = 0; split <= bytes.size(); ++split)
        EXPECT_EQ(storage::journal::crc32(bytes.subspan(split), storage::journal::crc32(bytes.first(split))),
                  0xCBF43926u);
}

} // namespace
