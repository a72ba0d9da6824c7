#pragma once

#include "database/storage/engine/database_session.h"
#include "database/storage/file/file.h"
#include "database/storage/journal/journal_location.h"

#include <memory>
#include <string>
#include <vector>

namespace checktest {

// The operations that change the files of one database (writes, syncs, truncations,
// creating and removing the journal), numbered across all of them from 1, and which
// of them fail.
class Faults {
public:
    enum class Mode {
        None,
        Crash,    // operation `failAt` and every later one fail: the process died there, half-way
                  // through that operation if it was a write
        Once,     // only operation `failAt` fails, with an I/O error
        DiskFull, // from operation `failAt` on, every write that would make a file longer fails
    };

    Faults(Mode mode = Mode::None, int failAt = 0) : m_mode(mode), m_failAt(failAt) {}
    // From now on: fail as `mode` says, counting on from the operations so far.
    void arm(Mode mode, int failAt) {
        m_mode = mode;
        m_failAt = failAt;
    }

    // The error for the next operation (`what`: "write", "sync", ...), if it is to fail.
    // `grows`: the operation would lengthen its file.
    storage::Status next(const char* what, bool grows);
    const std::string& firstFailure() const { return m_firstFailure; } // the kind of the first failed operation
    int operations() const { return m_operations; }
    // Whether the operation that just failed was the one the process died in (not a later one).
    bool diedInLast() const { return m_mode == Mode::Crash && m_operations == m_failAt; }
    // Whether operation n (from 1) would have made a file longer.
    bool grew(int n) const { return n >= 1 && static_cast<std::size_t>(n) <= m_growing.size() && m_growing[n - 1]; }
    bool struck() const { return m_struck; } // some operation has failed
    int journalRemovals() const { return m_removals; }
    void countRemoval() { ++m_removals; }

    // Undo records of writes not yet made durable, so that a crash can lose them.
    void rememberUnsynced(const std::string& path, uint64_t offset, std::vector<uint8_t> before, uint64_t sizeBefore);
    void forgetUnsynced(const std::string& path);
    // Puts back what every file held at its last sync, newest write first.
    void loseUnsyncedWrites();

private:
    struct Undo {
        std::string path;
        uint64_t offset;
        std::vector<uint8_t> before;
        uint64_t sizeBefore;
    };
    Mode m_mode;
    int m_failAt;
    int m_operations = 0;
    int m_removals = 0;
    bool m_struck = false;
    std::string m_firstFailure;
    std::vector<bool> m_growing;
    std::vector<Undo> m_unsynced;
};

// A file whose changing operations go through Faults.
class FaultyFile final : public storage::File {
public:
    FaultyFile(std::unique_ptr<storage::File> file, std::string path, Faults& faults)
        : m_file(std::move(file)), m_path(std::move(path)), m_faults(faults) {}

    storage::Result<std::size_t> read(uint64_t offset, std::span<uint8_t> out) override {
        return m_file->read(offset, out);
    }
    storage::Status write(uint64_t offset, std::span<const uint8_t> data) override;
    storage::Result<uint64_t> size() override { return m_file->size(); }
    storage::Status sync() override;
    storage::Status truncate(uint64_t size) override;

private:
    std::unique_ptr<storage::File> m_file;
    std::string m_path;
    Faults& m_faults;
};

// The journal files of a location, created, opened and removed through Faults.
class FaultyJournalLocation final : public storage::JournalLocation {
public:
    FaultyJournalLocation(std::unique_ptr<storage::JournalLocation> location, std::string path, Faults& faults)
        : m_location(std::move(location)), m_path(std::move(path)), m_faults(faults) {}

    storage::Result<std::unique_ptr<storage::File>> create() override;
    storage::Result<std::unique_ptr<storage::File>> openExisting() override;
    storage::Status remove() override;
    storage::Result<std::string> setAside() override { return m_location->setAside(); }

private:
    std::unique_ptr<storage::JournalLocation> m_location;
    std::string m_path;
    Faults& m_faults;
};

// The layer that puts a session's database file and journal under `faults`.
storage::DatabaseSession::FileLayer faultyLayer(const std::string& databasePath, Faults& faults);

} // namespace checktest
