#include "database/storage/create/system_table_storage.h"

#include "database/storage/write/data_page_builder.h"
#include "database/storage/write/index_page.h"
#include "database/storage/write/usage_map_writer.h"

#include <algorithm>

namespace storage {

namespace {

Error cannotWrite(const SystemTable& table, const std::string& why) {
    return {0, "The system table " + table.name + " cannot be written: " + why + ".", ErrorKind::Failed};
}

// An inline map starting at page 0 that holds `page`, as Access writes index maps.
std::vector<uint8_t> inlineMapHolding(uint32_t page) {
    std::vector<uint8_t> map = newInlineUsageMap(0);
    map[5 + page / 8] = static_cast<uint8_t>(map[5 + page / 8] | (1u << (page % 8)));
    return map;
}

// Column descriptors start after the 63-byte header and 12 bytes per real index;
// each is 25 bytes with a u16 position at byte 9. Readers ignore it; Access writes
// the column's position in user tables and 0 in every system table.
void clearColumnPositions(std::vector<uint8_t>& definition, const TableDefinition& def) {
    constexpr std::size_t kHeaderSize = 0x3F, kIndexCountSize = 12, kColumnSize = 25, kPosition = 9;
    const std::size_t first = kHeaderSize + kIndexCountSize * def.realIndexes.size();
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        definition[first + kColumnSize * i + kPosition] = 0;
        definition[first + kColumnSize * i + kPosition + 1] = 0;
    }
}

} // namespace

Result<TableDefinition> writeSystemTable(Pager& pager, const SystemTable& table, const SystemTablePages& pages,
                                         uint8_t sortOrderVersion, const TableDefinitionFormat& format) {
    TableDefinition def = systemTableDefinition(table, sortOrderVersion);
    if (pages.indexRoots.size() != def.realIndexes.size())
        return cannotWrite(table, "one root page per index is needed");
    def.firstPage = pages.definition;
    def.pages = {pages.definition};

    auto existing = pager.read(pages.mapHolder);
    if (!existing)
        return existing.error();
    // A freshly allocated page is all zeros; one that holds maps already is a data page.
    std::vector<uint8_t> holder =
        (**existing)[0] == 0x01 ? **existing : newDataPage(kUsageMapHolderOwner, pager.pageSize());
    auto addMap = [&](const std::vector<uint8_t>& map) -> Result<RowPointer> {
        auto row = appendRow(holder, map);
        if (!row)
            return cannotWrite(table, "its usage maps do not fit on page " + std::to_string(pages.mapHolder));
        return RowPointer{pages.mapHolder, *row};
    };

    auto owned = addMap(newInlineUsageMap(0));
    auto withRoom = owned ? addMap(newInlineUsageMap(0)) : owned;
    if (!withRoom)
        return withRoom.error();
    def.ownedPages = *owned;
    def.freePages = *withRoom;

    std::vector<const ColumnDefinition*> longColumns;
    for (const ColumnDefinition& column : def.columns)
        if (column.isLongValue())
            longColumns.push_back(&column);
    std::sort(longColumns.begin(), longColumns.end(),
              [](const ColumnDefinition* a, const ColumnDefinition* b) { return a->number < b->number; });
    std::vector<ColumnUsageMaps> columnMaps;
    for (const ColumnDefinition* column : longColumns) {
        auto columnOwned = addMap(newInlineUsageMap(0));
        auto columnFree = columnOwned ? addMap(newInlineUsageMap(0)) : columnOwned;
        if (!columnFree)
            return columnFree.error();
        columnMaps.push_back({column->number, *columnOwned, *columnFree});
    }
    // The definition lists them in its column order.
    for (const ColumnDefinition& column : def.columns)
        for (const ColumnUsageMaps& maps : columnMaps)
            if (maps.columnNumber == column.number)
                def.columnUsageMaps.push_back(maps);

    for (std::size_t i = 0; i < def.realIndexes.size(); ++i) {
        const uint32_t root = pages.indexRoots[i];
        if (root >= 8 * (kUsageMapRowSize - 5))
            return cannotWrite(table, "index root page " + std::to_string(root) + " lies past an inline map");
        auto map = addMap(inlineMapHolding(root));
        if (!map)
            return map.error();
        def.realIndexes[i].usageMap = *map;
        def.realIndexes[i].rootPage = root;
        IndexPage empty;
        empty.owner = def.firstPage;
        auto rootBytes = serializeIndexPage(empty, pager.pageSize());
        if (Status status = pager.write(root, std::move(*rootBytes)); !status)
            return status.error();
    }
    if (Status status = pager.write(pages.mapHolder, std::move(holder)); !status)
        return status.error();

    std::vector<uint8_t> bytes = serializeTableDefinition(def, format);
    clearColumnPositions(bytes, def);
    if (tableDefinitionPageCount(bytes.size(), pager.pageSize()) != 1)
        return cannotWrite(table, "its definition does not fit on one page");
    def.definitionLength = static_cast<uint32_t>(bytes.size());
    std::vector<std::vector<uint8_t>> definitionPages = splitTableDefinition(bytes, def.pages, pager.pageSize());
    if (Status status = pager.write(pages.definition, std::move(definitionPages.front())); !status)
        return status.error();
    return def;
}

} // namespace storage
