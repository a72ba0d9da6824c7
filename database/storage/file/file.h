#pragma once

#include "database/storage/status.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace storage {

// A random-access byte store: the database file on disk, or memory in tests
// and fuzzing. Not thread-safe; one Database uses one File.
class File {
public:
    virtual ~File() = default;

    // Reads up to out.size() bytes at offset; returns how many were read,
    // fewer only at the end of the file.
    virtual Result<std::size_t> read(uint64_t offset, std::span<uint8_t> out) = 0;
    // Writes all of data at offset, growing the file when needed.
    virtual Status write(uint64_t offset, std::span<const uint8_t> data) = 0;
    // Writes the pieces one after another from offset; a file that can take them in one
    // call (fewer system calls for a run of pages) does so, the others write them in turn.
    virtual Status writeGathered(uint64_t offset, std::span<const std::span<const uint8_t>> pieces) {
        for (std::span<const uint8_t> piece : pieces) {
            if (Status status = write(offset, piece); !status)
                return status;
            offset += piece.size();
        }
        return Status::ok();
    }
    // Lengthens the file by `length` zero bytes at `offset` (its end), their room on the
    // disk taken, so that writing there later needs no more. A file that can take the room
    // without writing the zeros does so.
    virtual Status allocate(uint64_t offset, uint64_t length) {
        constexpr uint64_t kChunk = 1024 * 1024;
        const std::vector<uint8_t> zeros(static_cast<std::size_t>(std::min(length, kChunk)), 0);
        for (uint64_t done = 0; done < length;) {
            const auto step = static_cast<std::size_t>(std::min<uint64_t>(length - done, kChunk));
            if (Status status = write(offset + done, std::span(zeros).first(step)); !status)
                return status;
            done += step;
        }
        return Status::ok();
    }
    virtual Result<uint64_t> size() = 0;
    // Makes written data durable.
    virtual Status sync() = 0;
    virtual Status truncate(uint64_t size) = 0;
    // Readies bytes already in the file for a write that comes later, so that the write
    // then needs no room on the disk; a file that writes at once needs nothing.
    virtual Status prepareWrite(uint64_t /*offset*/, std::size_t /*length*/) { return Status::ok(); }
};

} // namespace storage
