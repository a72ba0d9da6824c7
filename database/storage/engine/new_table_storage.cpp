#include "database/storage/engine/new_table_storage.h"

#include "database/storage/write/data_page_builder.h"
#include "database/storage/write/index_page.h"
#include "database/storage/write/usage_map_writer.h"

namespace storage {

namespace {
// Usage-map rows one holder page takes: 69 bytes and an offset entry each.
constexpr std::size_t kMapsPerHolderPage = 57;
} // namespace

Result<TableDefinition> writeNewTable(Pager& pager, TableDefinition def, const std::vector<NewIndex>& indexes,
                                      const TableDefinitionFormat& format) {
    std::size_t longColumns = 0;
    for (const ColumnDefinition& column : def.columns)
        if (column.isLongValue())
            ++longColumns;
    if (2 + indexes.size() + 2 * longColumns > kMapsPerHolderPage)
        return Error{0, "A table with this many indexes and Memo or OLE Object columns cannot be created.",
                     ErrorKind::NotSupported};

    auto first = pager.allocate();
    if (!first)
        return first.error();
    auto holder = pager.allocate();
    if (!holder)
        return holder.error();
    def.firstPage = *first;

    // Rows of the holder page: owned pages, pages with room, one per index, two per long-value column.
    std::vector<std::vector<uint8_t>> maps{newInlineUsageMap(0), newInlineUsageMap(0)};
    def.ownedPages = {*holder, 0};
    def.freePages = {*holder, 1};
    def.realIndexes.clear();
    def.logicalIndexes.clear();
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        auto root = pager.allocate();
        if (!root)
            return root.error();
        IndexPage empty;
        empty.owner = def.firstPage;
        auto bytes = serializeIndexPage(empty, pager.pageSize());
        if (Status status = pager.write(*root, std::move(*bytes)); !status)
            return status.error();
        std::vector<uint8_t> map = newInlineUsageMap(*root);
        map[5] = 0x01; // the root is the index's first page
        RealIndex real;
        real.columns = indexes[i].columns;
        real.usageMap = {*holder, static_cast<uint8_t>(maps.size())};
        real.rootPage = *root;
        real.flags = static_cast<uint8_t>(indexes[i].flags | 0x80);
        def.realIndexes.push_back(real);
        maps.push_back(std::move(map));

        LogicalIndex logical;
        logical.name = indexes[i].name;
        logical.number = static_cast<uint32_t>(i);
        logical.realIndex = static_cast<uint32_t>(i);
        logical.kind = indexes[i].primaryKey ? 1 : 0;
        def.logicalIndexes.push_back(logical);
    }
    def.columnUsageMaps.clear();
    for (const ColumnDefinition& column : def.columns) {
        if (!column.isLongValue())
            continue;
        ColumnUsageMaps columnMaps;
        columnMaps.columnNumber = column.number;
        columnMaps.ownedPages = {*holder, static_cast<uint8_t>(maps.size())};
        columnMaps.freePages = {*holder, static_cast<uint8_t>(maps.size() + 1)};
        def.columnUsageMaps.push_back(columnMaps);
        maps.push_back(newInlineUsageMap(0));
        maps.push_back(newInlineUsageMap(0));
    }
    auto holderPage = usageMapHolderPage(maps, pager.pageSize());
    if (!holderPage)
        return Error{0, "The usage maps of the new table do not fit on one page.", ErrorKind::NotSupported};
    if (Status status = pager.write(*holder, std::move(*holderPage)); !status)
        return status.error();

    std::vector<uint8_t> bytes = serializeTableDefinition(def, format);
    def.definitionLength = static_cast<uint32_t>(bytes.size());
    def.pages = {def.firstPage};
    while (def.pages.size() < tableDefinitionPageCount(bytes.size(), pager.pageSize())) {
        auto more = pager.allocate();
        if (!more)
            return more.error();
        def.pages.push_back(*more);
    }
    std::vector<std::vector<uint8_t>> pages = splitTableDefinition(bytes, def.pages, pager.pageSize());
    for (std::size_t i = 0; i < pages.size(); ++i)
        if (Status status = pager.write(def.pages[i], std::move(pages[i])); !status)
            return status.error();
    return def;
}

} // namespace storage
