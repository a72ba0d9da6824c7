// Opens arbitrary bytes as a database and reads everything the engine can
// read: catalogue, schema rowset, every row of every local table, and the
// text of every value. Any crash, hang, leak or out-of-bounds access is a bug;
// errors are expected.

#include "database/storage/consistency_check.h"
#include "database/storage/database.h"
#include "database/storage/file/memory_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace storage;
    auto file = std::make_unique<MemoryFile>(std::vector<uint8_t>(data, data + size));
    auto db = Database::open(std::move(file), "fuzz.mdb", {});
    if (!db)
        return 0;
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
    return 0;
}
