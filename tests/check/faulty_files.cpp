#include "faulty_files.h"

#include "database/storage/file/posix_file.h"

#include <filesystem>

namespace checktest {

using storage::Error;
using storage::ErrorKind;
using storage::Status;

Status Faults::next(const char* what, bool grows) {
    ++m_operations;
    m_growing.push_back(grows);
    bool fails = false;
    switch (m_mode) {
    case Mode::None:
        break;
    case Mode::Crash:
        fails = m_operations >= m_failAt;
        break;
    case Mode::Once:
        fails = m_operations == m_failAt;
        break;
    case Mode::DiskFull:
        fails = grows && m_operations >= m_failAt;
        break;
    }
    if (!fails)
        return Status::ok();
    if (!m_struck)
        m_firstFailure = what;
    m_struck = true;
    if (m_mode == Mode::DiskFull)
        return Error{0, "No space left on device", ErrorKind::IOError};
    return Error{0, "Input/output error", ErrorKind::IOError};
}

void Faults::rememberUnsynced(const std::string& path, uint64_t offset, std::vector<uint8_t> before,
                              uint64_t sizeBefore) {
    m_unsynced.push_back({path, offset, std::move(before), sizeBefore});
}

void Faults::forgetUnsynced(const std::string& path) {
    std::erase_if(m_unsynced, [&](const Undo& undo) { return undo.path == path; });
}

void Faults::loseUnsyncedWrites() {
    for (auto undo = m_unsynced.rbegin(); undo != m_unsynced.rend(); ++undo) {
        if (!std::filesystem::exists(undo->path))
            continue;
        int error = 0;
        auto file = storage::PosixFile::open(undo->path, true, error);
        if (!file)
            continue;
        file->write(undo->offset, undo->before).ignoreError();
        file->truncate(undo->sizeBefore).ignoreError();
    }
    m_unsynced.clear();
}

Status FaultyFile::write(uint64_t offset, std::span<const uint8_t> data) {
    auto size = m_file->size();
    if (!size)
        return size.error();
    Status fault = m_faults.next("write", offset + data.size() > *size);
    if (!fault && !m_faults.diedInLast())
        return fault;
    // A write cut short by the crash reaches the disk in part.
    const std::span<const uint8_t> written = fault ? data : data.first(data.size() / 2);
    // What the bytes were, for a crash that loses this write: beyond the old end, nothing.
    std::vector<uint8_t> before(offset < *size ? std::min<uint64_t>(written.size(), *size - offset) : 0);
    if (!before.empty())
        if (auto read = m_file->read(offset, before); !read)
            return read.error();
    m_faults.rememberUnsynced(m_path, offset, std::move(before), *size);
    if (Status status = m_file->write(offset, written); !status)
        return status;
    return fault;
}

// What is durable is what the undo records say; the disk's own sync would only cost time.
Status FaultyFile::sync() {
    if (Status status = m_faults.next("sync", false); !status)
        return status;
    m_faults.forgetUnsynced(m_path);
    return Status::ok();
}

Status FaultyFile::truncate(uint64_t size) {
    auto current = m_file->size();
    if (!current)
        return current.error();
    if (Status status = m_faults.next("truncate", size > *current); !status)
        return status;
    if (size < *current) {
        std::vector<uint8_t> cut(static_cast<std::size_t>(*current - size));
        if (auto read = m_file->read(size, cut); !read)
            return read.error();
        m_faults.rememberUnsynced(m_path, size, std::move(cut), *current);
    } else {
        m_faults.rememberUnsynced(m_path, *current, {}, *current);
    }
    return m_file->truncate(size);
}

storage::Result<std::unique_ptr<storage::File>> FaultyJournalLocation::create() {
    if (Status status = m_faults.next("create", true); !status)
        return status.error();
    auto created = m_location->create();
    if (!created)
        return created.error();
    m_faults.forgetUnsynced(m_path); // a new file: nothing of an old one to put back
    return std::unique_ptr<storage::File>(std::make_unique<FaultyFile>(std::move(*created), m_path, m_faults));
}

storage::Result<std::unique_ptr<storage::File>> FaultyJournalLocation::openExisting() {
    auto opened = m_location->openExisting();
    if (!opened || !*opened)
        return opened;
    return std::unique_ptr<storage::File>(std::make_unique<FaultyFile>(std::move(*opened), m_path, m_faults));
}

Status FaultyJournalLocation::remove() {
    if (Status status = m_faults.next("remove", false); !status)
        return status;
    if (Status status = m_location->remove(); !status)
        return status;
    m_faults.forgetUnsynced(m_path);
    m_faults.countRemoval();
    return Status::ok();
}

storage::DatabaseSession::FileLayer faultyLayer(const std::string& databasePath, Faults& faults) {
    storage::DatabaseSession::FileLayer layer;
    layer.database = [databasePath, &faults](std::unique_ptr<storage::File> file) {
        return std::unique_ptr<storage::File>(std::make_unique<FaultyFile>(std::move(file), databasePath, faults));
    };
    layer.journal = [databasePath, &faults](std::unique_ptr<storage::JournalLocation> location) {
        return std::unique_ptr<storage::JournalLocation>(
            std::make_unique<FaultyJournalLocation>(std::move(location), databasePath + "-journal", faults));
    };
    return layer;
}

} // namespace checktest
