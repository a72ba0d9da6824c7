#pragma once

#include "database/storage/status.h"

#include <memory>
#include <string>

namespace storage {

// Keeps other programs from writing underneath us, and us from writing underneath them.
//
// Every connection locks the database file through the operating system: readers
// share, a writer is alone. A writer also respects Access's lock file (".ldb" beside an
// .mdb, ".laccdb" beside an .accdb): when another process holds a user slot of it,
// the database is in use. While writing we hold a slot ourselves, so Access sees one
// more user, and we remove the lock file on closing when we made it, or found it left
// behind by a program that died, and nobody else holds a slot.
class DatabaseLock {
public:
    enum class Mode { Read, Write };

    // Fails with 3045 "Could not use '<path>'; file already in use." when another
    // connection or program stands in the way, and with 3027 (kind PermissionDenied)
    // when the file or its folder may not be written, so that the caller can read instead.
    static Result<std::unique_ptr<DatabaseLock>> acquire(const std::string& databasePath, Mode mode);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    // ".ldb" or ".laccdb" in place of the database's extension.
    static std::string lockFilePath(const std::string& databasePath);

private:
    DatabaseLock() = default;
    Status takeUserSlot(const std::string& databasePath);
    void releaseUserSlot();

    int m_databaseFd = -1;
    int m_lockFileFd = -1;
    std::string m_lockFilePath;
    bool m_createdLockFile = false;
};

} // namespace storage
