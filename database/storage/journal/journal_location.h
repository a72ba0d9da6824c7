#pragma once

#include "database/storage/file/file.h"
#include "database/storage/status.h"

#include <memory>
#include <string>

namespace storage {

// Where a database's rollback journal lives: one file beside the database that can
// be created, opened and removed. Removal is the commit point of a batch, so it must
// be durable when remove() returns.
class JournalLocation {
public:
    virtual ~JournalLocation() = default;
    // A new, empty journal (replacing any old one), its existence made durable.
    virtual Result<std::unique_ptr<File>> create() = 0;
    // The journal left behind, or null when there is none.
    virtual Result<std::unique_ptr<File>> openExisting() = 0;
    virtual Status remove() = 0;
    // Renames the journal left behind so that it is kept but never replayed; the new name.
    virtual Result<std::string> setAside() = 0;
};

// The journal of the database at `databasePath`: the same path with "-journal" appended.
// It is made with the database file's permissions, since it holds the database's pages.
// A journal set aside becomes "-journal.not-applied" (".2", ".3", ... when that is taken).
class PosixJournalLocation final : public JournalLocation {
public:
    explicit PosixJournalLocation(std::string databasePath);
    Result<std::unique_ptr<File>> create() override;
    Result<std::unique_ptr<File>> openExisting() override;
    Status remove() override;
    Result<std::string> setAside() override;
    const std::string& path() const { return m_path; }

private:
    Status syncFolder();

    std::string m_databasePath;
    std::string m_path;
};

} // namespace storage
