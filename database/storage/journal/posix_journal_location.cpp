#include "database/storage/errors.h"
#include "database/storage/file/posix_file.h"
#include "database/storage/journal/journal_location.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
    return errors::ioError(path, std::string(operation) + ": " + std::strerror(number));
}

} // namespace

PosixJournalLocation::PosixJournalLocation(std::string databasePath) : m_path(std::move(databasePath) + "-journal") {}

Result<std::unique_ptr<File>> PosixJournalLocation::create() {
    const int fd = ::open(m_path.c_str(), O_CREAT | O_TRUNC | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0)
        return systemError(m_path, "create", errno);
    ::close(fd);
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

Status PosixJournalLocation::syncFolder() {
    const std::string folder = folderOf(m_path);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return systemError(folder, "open folder", errno);
    const int result = ::fsync(fd);
    const int number = errno;
    ::close(fd);
    if (result != 0)
        return systemError(folder, "sync folder", number);
    return Status::ok();
}

} // namespace storage
