// Opens arbitrary bytes as a database and reads everything the engine can
// read: catalogue, schema rowset, every row of every local table, and the
// text of every value. Then opens the same bytes from a file as a writer opens
// them and runs the full check, as `tarnwick-cli check` does. Any crash, hang,
// leak or out-of-bounds access is a bug; errors are expected.

#include "database/storage/check/check_file.h"
#include "database/storage/consistency_check.h"
#include "database/storage/database.h"
#include "database/storage/file/memory_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

void readEverything(const uint8_t* data, std::size_t size) {
    using namespace storage;
    auto file = std::make_unique<MemoryFile>(std::vector<uint8_t>(data, data + size));
    auto db = Database::open(std::move(file), "fuzz.mdb", {});
    if (!db)
        return;
    Database& database = **db;
    auto schema = database.tablesSchema();
    schema.status().ignoreError();
    for (const CatalogEntry& entry : database.catalog().entries()) {
        if (entry.type != object_type::kLocalTable)
            continue;
        auto cursor = database.openTable(entry.name);
        if (!cursor)
            continue;
        Row row;
        std::size_t textBytes = 0;
        while (cursor->next(row))
            for (const Value& value : row)
                textBytes += formatValue(value).size();
        cursor->status().ignoreError();
        (void)textBytes;
    }
    auto problems = checkConsistency(database);
    problems.status().ignoreError();
}

// The read-write open and the full check need a real file: a copy in a temporary folder,
// with its journal and lock file removed again whatever the open left.
void checkAsAFile(const uint8_t* data, std::size_t size) {
    static const std::string folder = [] {
        std::string pattern = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/fuzz.XXXXXX";
        return std::string(::mkdtemp(pattern.data()) ? pattern : std::string());
    }();
    if (folder.empty())
        return;
    static const bool removedAtExit = std::atexit([] { ::rmdir(folder.c_str()); }) == 0;
    (void)removedAtExit;
    const std::string path = folder + "/fuzz.mdb";
    const std::string lockFile = folder + "/fuzz.ldb";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return;
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) == 0 && written) {
        auto report = storage::check::checkDatabaseFile(path, {});
        report.status().ignoreError();
        if (::access(lockFile.c_str(), F_OK) == 0)
            std::abort(); // the check left its lock file behind
    }
    ::unlink((path + "-journal").c_str());
    ::unlink(lockFile.c_str());
    ::unlink(path.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    readEverything(data, size);
    checkAsAFile(data, size);
    return 0;
}
