#include "database/storage/file/posix_file.h"

#include "database/storage/errors.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace storage {

namespace {
std::atomic<uint64_t> g_bytesWritten{0};
} // namespace

uint64_t PosixFile::bytesWritten() {
    return g_bytesWritten.load(std::memory_order_relaxed);
}

std::unique_ptr<PosixFile> PosixFile::open(const std::string& path, bool writable, int& errorNumber) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        errorNumber = errno;
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        // A folder or a device is no database; EISDIR lets the caller say so.
        errorNumber = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return nullptr;
    }
    errorNumber = 0;
    return std::unique_ptr<PosixFile>(new PosixFile(fd, path));
}

PosixFile::~PosixFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

Error PosixFile::systemError(const char* operation, int errorNumber) const {
    return errors::ioError(m_path, operation, std::strerror(errorNumber));
}

Result<std::size_t> PosixFile::read(uint64_t offset, std::span<uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = ::pread(m_fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return systemError("read", errno);
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

Status PosixFile::write(uint64_t offset, std::span<const uint8_t> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t put = ::pwrite(m_fd, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return systemError("write to", errno);
        }
        done += static_cast<std::size_t>(put);
        g_bytesWritten.fetch_add(static_cast<uint64_t>(put), std::memory_order_relaxed);
    }
    return Status::ok();
}

Status PosixFile::writeGathered(uint64_t offset, std::span<const std::span<const uint8_t>> pieces) {
    constexpr std::size_t kMostPieces = 64; // well within every system's IOV_MAX
    std::size_t next = 0;                   // the first piece not wholly written
    std::size_t nextDone = 0;               // the bytes of it already written
    for (;;) {
        while (next < pieces.size() && pieces[next].size() == nextDone) {
            ++next;
            nextDone = 0;
        }
        if (next == pieces.size())
            return Status::ok();
        iovec vectors[kMostPieces];
        std::size_t count = 0;
        for (std::size_t i = next; i < pieces.size() && count < kMostPieces; ++i, ++count) {
            const std::size_t skip = i == next ? nextDone : 0;
            vectors[count].iov_base = const_cast<uint8_t*>(pieces[i].data() + skip);
            vectors[count].iov_len = pieces[i].size() - skip;
        }
        const ssize_t put = ::pwritev(m_fd, vectors, static_cast<int>(count), static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return systemError("write to", put < 0 ? errno : EIO);
        // Step past what went out; a short write leaves the rest for the next call.
        offset += static_cast<uint64_t>(put);
        g_bytesWritten.fetch_add(static_cast<uint64_t>(put), std::memory_order_relaxed);
        for (auto left = static_cast<std::size_t>(put); left > 0;) {
            const std::size_t step = std::min(left, pieces[next].size() - nextDone);
            nextDone += step;
            left -= step;
            if (nextDone == pieces[next].size()) {
                ++next;
                nextDone = 0;
            }
        }
    }
}

// The file system takes the room without the zeros being written (the file grows by
// them once, not twice); where it cannot, they are written.
Status PosixFile::allocate(uint64_t offset, uint64_t length) {
    int result = 0;
    do {
        result = ::posix_fallocate(m_fd, static_cast<off_t>(offset), static_cast<off_t>(length));
    } while (result == EINTR);
    if (result == EOPNOTSUPP || result == EINVAL)
        return File::allocate(offset, length);
    if (result != 0)
        return systemError("write to", result);
    return Status::ok();
}

Result<uint64_t> PosixFile::size() {
    struct stat info {};
    if (::fstat(m_fd, &info) != 0)
        return systemError("find the size of", errno);
    return static_cast<uint64_t>(info.st_size);
}

Status PosixFile::sync() {
    if (::fsync(m_fd) != 0)
        return systemError("flush to disk", errno);
    return Status::ok();
}

Status PosixFile::truncate(uint64_t size) {
    if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0)
        return systemError("truncate", errno);
    return Status::ok();
}

} // namespace storage
