#pragma once

#include "database/storage/file/file.h"

#include <vector>

namespace storage {

// A File held in memory: tests, fuzzing, and damaged copies made on the fly.
class MemoryFile final : public File {
public:
    MemoryFile() = default;
    explicit MemoryFile(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    Result<std::size_t> read(uint64_t offset, std::span<uint8_t> out) override;
    Status write(uint64_t offset, std::span<const uint8_t> data) override;
    Result<uint64_t> size() override { return static_cast<uint64_t>(m_bytes.size()); }
    Status sync() override { return Status::ok(); }
    Status truncate(uint64_t size) override;

    const std::vector<uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

} // namespace storage
