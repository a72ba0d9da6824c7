#include "database/storage/consistency_check.h"

#include "database/storage/table/usage_map.h"

namespace storage {

Result<std::vector<ConsistencyProblem>> checkConsistency(Database& database) {
    std::vector<ConsistencyProblem> problems;
    PageReader& pages = database.pages();
    for (const CatalogEntry& entry : database.catalog().entries()) {
        if (entry.type != object_type::kLocalTable || !database.catalog().tablesContainerId() ||
            entry.parentId != *database.catalog().tablesContainerId())
            continue;
        const uint32_t firstPage = static_cast<uint32_t>(entry.id) & 0x00FFFFFF;
        auto definition = readTableDefinition(pages, firstPage);
        if (!definition) {
            problems.push_back({entry.name, definition.error().description});
            continue;
        }
        auto owned = readUsageMap(pages, definition->ownedPages);
        if (!owned) {
            problems.push_back({entry.name, owned.error().description});
            continue;
        }
        if (owned->pagesPastEnd > 0)
            problems.push_back({entry.name, "owned-pages map names " + std::to_string(owned->pagesPastEnd) +
                                                " pages past the end of the file"});
        for (uint32_t number : owned->pages) {
            auto page = pages.page(number);
            if (!page)
                return page.error();
            const auto& bytes = **page;
            if (bytes[0] != 0x01 || readU32(bytes, 4) != firstPage)
                problems.push_back({entry.name, "page " + std::to_string(number) +
                                                    " of the owned-pages map is not a data page of this table"});
        }
        auto cursor = openTableAt(pages, entry.name, firstPage);
        if (!cursor) {
            problems.push_back({entry.name, cursor.error().description});
            continue;
        }
        Row row;
        while (cursor->next(row)) {
        }
        if (!cursor->status())
            problems.push_back({entry.name, cursor->status().error().description});
    }
    return problems;
}

} // namespace storage
