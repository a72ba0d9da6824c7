#include "storage_test_support.h"

#include "database/storage/file/memory_file.h"

#include <fstream>
#include <random>

namespace storage::test {

std::filesystem::path fixturesDir() {
    std::error_code ignored;
    const std::filesystem::path dir(TARNWICK_FIXTURES_DIR);
    return std::filesystem::is_directory(dir, ignored) ? dir : std::filesystem::path();
}

std::string fixture(const std::string& relativePath) {
    return (fixturesDir() / relativePath).string();
}

std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Result<std::unique_ptr<Database>> openBytes(std::vector<uint8_t> bytes, const OpenOptions& options) {
    return Database::open(std::make_unique<MemoryFile>(std::move(bytes)), "memory.mdb", options);
}

Status readEverything(Database& database) {
    for (const CatalogEntry& entry : database.catalog().entries()) {
        if (entry.type != object_type::kLocalTable || entry.parentId != database.catalog().tablesContainerId())
            continue;
        auto cursor = database.openTable(entry.name);
        if (!cursor)
            return cursor.status();
        Row row;
        while (cursor->next(row)) {
        }
        if (!cursor->status())
            return cursor->status();
    }
    auto schema = database.tablesSchema();
    return schema.status();
}

} // namespace storage::test
