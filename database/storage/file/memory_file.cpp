#include "database/storage/file/memory_file.h"

#include "database/storage/errors.h"

#include <algorithm>

namespace storage {

namespace {
// Far above any Access file (2 GiB), low enough that a bad offset cannot exhaust memory.
constexpr uint64_t kMaxMemoryFileSize = uint64_t{1} << 32;
} // namespace

Result<std::size_t> MemoryFile::read(uint64_t offset, std::span<uint8_t> out) {
    if (offset >= m_bytes.size())
        return std::size_t{0};
    const std::size_t count = std::min<uint64_t>(out.size(), m_bytes.size() - offset);
    std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, out.begin());
    return count;
}

Status MemoryFile::write(uint64_t offset, std::span<const uint8_t> data) {
    if (offset > kMaxMemoryFileSize || data.size() > kMaxMemoryFileSize - offset)
        return errors::ioError("memory", "write to", "past the size limit");
    if (offset + data.size() > m_bytes.size())
        m_bytes.resize(offset + data.size());
    std::copy(data.begin(), data.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return Status::ok();
}

Status MemoryFile::truncate(uint64_t size) {
    if (size > kMaxMemoryFileSize)
        return errors::ioError("memory", "grow", "past the size limit");
    m_bytes.resize(size);
    return Status::ok();
}

} // namespace storage
