#include "database/storage/journal/database_lock.h"

#include "database/storage/errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace storage {

namespace {

// Access's user locks: one byte per user slot from this offset of the lock file, and
// a 64-byte entry per slot with the computer name and the account name.
constexpr off_t kUserLockStart = 0x10000001;
constexpr off_t kUserSlots = 255;
constexpr std::size_t kEntrySize = 64;

Error fileInUse(const std::string& path) {
    return {3045, "Could not use '" + path + "'; file already in use.", ErrorKind::Failed};
}

// Opening or creating failed: no right to write there is told apart, so that the
// caller can fall back to reading.
Error openError(const std::string& path, int number) {
    if (number == EACCES || number == EPERM || number == EROFS)
        return {3027, "Cannot update.  Database or object is read-only.", ErrorKind::PermissionDenied};
    return errors::ioError(path, "open", std::strerror(number));
}

// Open-file-description locks: unlike classic fcntl locks they are not dropped when
// some other descriptor of the same file is closed in this process.
bool tryLock(int fd, short type, off_t start, off_t length) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

void unlock(int fd, off_t start, off_t length) {
    tryLock(fd, F_UNLCK, start, length);
}

} // namespace

std::string DatabaseLock::lockFilePath(const std::string& databasePath) {
    const std::size_t slash = databasePath.find_last_of('/');
    const std::size_t dot = databasePath.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string stem = hasExtension ? databasePath.substr(0, dot) : databasePath;
    const std::string extension = hasExtension ? databasePath.substr(dot) : std::string();
    std::string lowered = extension;
    for (char& c : lowered)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return stem + (lowered == ".accdb" || lowered == ".accde" ? ".laccdb" : ".ldb");
}

Result<std::unique_ptr<DatabaseLock>> DatabaseLock::acquire(const std::string& databasePath, Mode mode) {
    std::unique_ptr<DatabaseLock> lock(new DatabaseLock());
    lock->m_databaseFd = ::open(databasePath.c_str(), (mode == Mode::Write ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (lock->m_databaseFd < 0)
        return openError(databasePath, errno);
    // The whole file, and beyond its end: writers of any length conflict.
    if (!tryLock(lock->m_databaseFd, mode == Mode::Write ? F_WRLCK : F_RDLCK, 0, 0))
        return fileInUse(databasePath);
    if (mode == Mode::Write)
        if (Status status = lock->takeUserSlot(databasePath); !status)
            return status.error();
    return lock;
}

Status DatabaseLock::takeUserSlot(const std::string& databasePath) {
    m_lockFilePath = lockFilePath(databasePath);
    m_lockFileFd = ::open(m_lockFilePath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    m_createdLockFile = m_lockFileFd >= 0;
    if (!m_createdLockFile) {
        if (errno != EEXIST)
            return openError(m_lockFilePath, errno);
        m_lockFileFd = ::open(m_lockFilePath.c_str(), O_RDWR | O_CLOEXEC);
        if (m_lockFileFd < 0)
            return openError(m_lockFilePath, errno);
        // Any held slot means a user is there; a lock file without one was left behind,
        // by a program that died, and is removed on closing as if we had made it.
        if (!tryLock(m_lockFileFd, F_WRLCK, kUserLockStart, kUserSlots))
            return fileInUse(databasePath);
        unlock(m_lockFileFd, kUserLockStart, kUserSlots);
        m_createdLockFile = true;
    }
    if (!tryLock(m_lockFileFd, F_WRLCK, kUserLockStart, 1))
        return fileInUse(databasePath);

    char entry[kEntrySize] = {};
    ::gethostname(entry, 31);
    std::memcpy(entry + 32, "Admin", 5);
    if (::pwrite(m_lockFileFd, entry, sizeof entry, 0) != static_cast<ssize_t>(sizeof entry))
        return errors::ioError(m_lockFilePath, "write to", std::strerror(errno));
    return Status::ok();
}

void DatabaseLock::releaseUserSlot() {
    if (m_lockFileFd < 0)
        return;
    unlock(m_lockFileFd, kUserLockStart, 1);
    // Remove the lock file we made, unless someone took a slot meanwhile.
    if (m_createdLockFile && tryLock(m_lockFileFd, F_WRLCK, kUserLockStart, kUserSlots))
        ::unlink(m_lockFilePath.c_str());
    ::close(m_lockFileFd);
    m_lockFileFd = -1;
}

DatabaseLock::~DatabaseLock() {
    releaseUserSlot();
    if (m_databaseFd >= 0)
        ::close(m_databaseFd);
}

} // namespace storage
