#include "database/storage/errors.h"
#include "database/storage/file/posix_file.h"
#include "database/storage/journal/journal_location.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storage {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

Error systemError(const std::string& path, const char* operation, int number) {
    return errors::ioError(path, operation, std::strerror(number));
}

} // namespace

PosixJournalLocation::PosixJournalLocation(std::string databasePath)
    : m_databasePath(std::move(databasePath)), m_path(m_databasePath + "-journal") {}

Result<std::unique_ptr<File>> PosixJournalLocation::create() {
    struct stat database {};
    const mode_t mode = ::stat(m_databasePath.c_str(), &database) == 0 ? database.st_mode & 0777 : 0600;
    const int fd = ::open(m_path.c_str(), O_CREAT | O_TRUNC | O_RDWR | O_CLOEXEC, mode);
    if (fd < 0)
        return systemError(m_path, "create", errno);
    // The umask may have taken bits away that the database has: whoever may read the
    // database may read its journal, and nobody else.
    const bool permitted = ::fchmod(fd, mode) == 0;
    const int chmodError = errno;
    ::close(fd);
    if (!permitted)
        return systemError(m_path, "set the permissions of", chmodError);
    if (Status status = syncFolder(); !status)
        return status.error();
    int number = 0;
    std::unique_ptr<File> file = PosixFile::open(m_path, true, number);
    if (!file)
        return systemError(m_path, "open", number);
    return file;
}

Result<std::unique_ptr<File>> PosixJournalLocation::openExisting() {
    if (::access(m_path.c_str(), F_OK) != 0)
        return std::unique_ptr<File>();
    int number = 0;
    std::unique_ptr<File> file = PosixFile::open(m_path, true, number);
    if (!file)
        return systemError(m_path, "open", number);
    return file;
}

Status PosixJournalLocation::remove() {
    if (::unlink(m_path.c_str()) != 0 && errno != ENOENT)
        return systemError(m_path, "remove", errno);
    return syncFolder();
}

Result<std::string> PosixJournalLocation::setAside() {
    std::string target = m_path + ".not-applied";
    for (int n = 2; ::access(target.c_str(), F_OK) == 0; ++n)
        target = m_path + ".not-applied." + std::to_string(n);
    if (::rename(m_path.c_str(), target.c_str()) != 0)
        return systemError(m_path, "rename", errno);
    if (Status status = syncFolder(); !status)
        return status.error();
    return target;
}

Status PosixJournalLocation::syncFolder() {
    const std::string folder = folderOf(m_path);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return systemError(folder, "open the folder", errno);
    const int result = ::fsync(fd);
    const int number = errno;
    ::close(fd);
    if (result != 0)
        return systemError(folder, "flush to disk the folder", number);
    return Status::ok();
}

} // namespace storage
