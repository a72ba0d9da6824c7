#pragma once

#include "database/storage/database.h"
#include "database/storage/engine/new_table_storage.h"
#include "database/storage/engine/pager.h"
#include "database/storage/engine/table_writers.h"
#include "database/storage/journal/database_lock.h"
#include "database/storage/journal/journaled_file.h"
#include "database/storage/sql/statement.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace storage {

// A database as one connection has it open: the lock that keeps others out, and, when
// it may write, the journal through which every change goes.
//
// Each statement changes the database completely or not at all. Statements are made
// durable in batches (by count, size and time) and when the session closes, so a crash
// leaves the database holding a prefix of the executed statements.
class DatabaseSession {
public:
    enum class Access {
        Read,               // shared with other readers
        ReadWrite,          // alone; fails when the file or its folder may not be written
        ReadWriteIfAllowed, // alone when possible, else shared and read-only
    };

    // Stands between the session and the files it changes: tests put faults there.
    struct FileLayer {
        std::function<std::unique_ptr<File>(std::unique_ptr<File>)> database;
        std::function<std::unique_ptr<JournalLocation>(std::unique_ptr<JournalLocation>)> journal;
    };

    static Result<std::unique_ptr<DatabaseSession>> open(const std::string& path, const OpenOptions& options,
                                                         Access access, const FileLayer& layer = {});
    // Makes the last statements durable and lets go of the database; the journal is gone.
    // Whoever needs to know that the statements are durable calls close() and looks at
    // its result; a session destroyed unclosed commits all the same, or, failing that,
    // leaves the database as the last commit left it.
    ~DatabaseSession();
    Status close();

    // What the open found and the user should hear of, although the open went on:
    // a journal that belonged to another file, set aside.
    const std::vector<std::string>& notices() const { return m_notices; }
    // How many of the statements this session carried out are durable in the file.
    uint64_t durableStatements() const { return m_durableStatements; }

    Database& database() { return *m_database; }
    bool writable() const { return m_journaled != nullptr; }

    // Carries out CREATE TABLE or INSERT INTO; a SELECT changes nothing.
    Status execute(const sql::Statement& statement);
    Status execute(const sql::Insert& insert);
    // Creates a table with indexes, which the statements cannot declare, as one
    // statement. `columns` as layoutNewTable takes them.
    Status createIndexedTable(const std::string& name, const std::vector<NewColumn>& columns,
                              const std::vector<NewIndex>& indexes);

private:
    DatabaseSession() = default;
    Status ready();
    Status refusedWhenDamaged(Status status) const;
    Status finishStatement(Status status);
    Status writePending();
    Status commitBatch();
    Status forgetDroppedChanges(Status failure);

    std::string m_path;
    std::unique_ptr<DatabaseLock> m_lock;
    std::unique_ptr<File> m_file;    // the file on disk
    std::unique_ptr<File> m_decoded; // its pages decoded, when encoded or encrypted
    std::unique_ptr<JournalLocation> m_journalLocation;
    std::unique_ptr<JournaledFile> m_journaled; // null when read-only
    std::unique_ptr<Database> m_database;
    std::unique_ptr<Pager> m_pager;
    std::unique_ptr<TableWriters> m_writers;
    std::vector<std::string> m_notices;
    bool m_closed = false;
    std::optional<Error> m_broken; // set when what a failed commit dropped could not be forgotten
    int m_statementsInBatch = 0;
    uint64_t m_durableStatements = 0;
    std::chrono::steady_clock::time_point m_batchStarted;
};

} // namespace storage
