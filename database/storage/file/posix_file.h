#pragma once

#include "database/storage/file/file.h"

#include <memory>
#include <string>

namespace storage {

// A File over a POSIX file descriptor.
class PosixFile final : public File {
public:
    // Opens path for reading (and writing when writable). On failure returns
    // null and sets errorNumber to the errno value, so that the caller can
    // word the error as the engine does.
    static std::unique_ptr<PosixFile> open(const std::string& path, bool writable, int& errorNumber);
    ~PosixFile() override;
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    Result<std::size_t> read(uint64_t offset, std::span<uint8_t> out) override;
    Status write(uint64_t offset, std::span<const uint8_t> data) override;
    Status writeGathered(uint64_t offset, std::span<const std::span<const uint8_t>> pieces) override;
    Status allocate(uint64_t offset, uint64_t length) override;
    Result<uint64_t> size() override;
    Status sync() override;
    Status truncate(uint64_t size) override;

    // The bytes every PosixFile of this process has written, for the import benchmark's
    // write amplification: the database's and the journal's pages alike.
    static uint64_t bytesWritten();

private:
    PosixFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
    Error systemError(const char* operation, int errorNumber) const;

    int m_fd = -1;
    std::string m_path;
};

} // namespace storage
