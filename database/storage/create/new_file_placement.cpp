#include "database/storage/create/new_file_placement.h"

#include "database/storage/create/create_errors.h"
#include "database/storage/errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storage {

namespace {

constexpr int kNameAttempts = 100;

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Filesystems without hard links (FAT, some network shares) answer link() with one of these.
bool linksUnsupported(int errorNumber) {
    return errorNumber == EPERM || errorNumber == ENOTSUP || errorNumber == EOPNOTSUPP || errorNumber == ENOSYS ||
           errorNumber == EMLINK;
}

// 0, or the errno value of the failed write.
int writeAll(int fd, std::span<const uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<std::size_t>(written);
    }
    return 0;
}

// The temporary file: removed unless it was given its final name.
class TemporaryFile {
public:
    ~TemporaryFile() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }

    // A new file in folder, named after the target and hidden by a leading dot; 0 or the errno value.
    int create(const std::string& folder, const std::string& name) {
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            const std::string candidate =
                folder + "/." + name + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
            const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                m_fd = fd;
                m_path = candidate;
                return 0;
            }
            if (errno != EEXIST)
                return errno;
        }
        return EEXIST;
    }
    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    int close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }
    void remove() {
        ::unlink(m_path.c_str());
        m_path.clear();
    }
    void forget() { m_path.clear(); }

private:
    int m_fd = -1;
    std::string m_path;
};

// Makes the new name durable too; filesystems that cannot sync a folder are left as they are.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    static_cast<void>(::fsync(fd));
    ::close(fd);
}

} // namespace

Status placeNewFile(const std::string& path, std::span<const uint8_t> bytes) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || !isFolder(folder))
        return errors::invalidPath(path);
    if (exists(path))
        return create_errors::databaseExists();

    TemporaryFile temporary;
    if (int error = temporary.create(folder, name); error != 0)
        return create_errors::cannotCreate(path, error);
    if (int error = writeAll(temporary.fd(), bytes); error != 0)
        return create_errors::cannotCreate(path, error);
    if (::fsync(temporary.fd()) != 0)
        return create_errors::cannotCreate(path, errno);
    if (int error = temporary.close(); error != 0)
        return create_errors::cannotCreate(path, error);

    // link() gives the name only if it is free, so a file made meanwhile is never replaced.
    if (::link(temporary.path().c_str(), path.c_str()) == 0) {
        temporary.remove();
    } else if (errno == EEXIST) {
        return create_errors::databaseExists();
    } else if (linksUnsupported(errno)) {
        if (exists(path))
            return create_errors::databaseExists();
        if (::rename(temporary.path().c_str(), path.c_str()) != 0)
            return create_errors::cannotCreate(path, errno);
        temporary.forget();
    } else {
        return create_errors::cannotCreate(path, errno);
    }
    syncFolder(folder);
    return Status::ok();
}

} // namespace storage
