#include "database/storage/check/table_check.h"

#include "database/storage/check/data_page_check.h"
#include "database/storage/check/long_value_pages.h"
#include "database/storage/check/table_indexes_check.h"
#include "database/storage/check/usage_map_layout.h"
#include "database/storage/table/data_page.h"
#include "database/storage/table/row_decoder.h"
#include "database/storage/table/table_cursor.h"
#include "database/storage/table/usage_map.h"
#include "database/storage/write/data_page_builder.h"

#include <algorithm>
#include <map>

namespace storage::check {

namespace {

constexpr uint32_t kDefinitionPageMask = 0x00FFFFFF; // MSysObjects.Id of a table: its first definition page
const std::string kUsageMapPages = "usage-map pages";

bool contains(const std::vector<uint32_t>& sorted, uint32_t page) {
    return std::binary_search(sorted.begin(), sorted.end(), page);
}

class TableChecker {
public:
    TableChecker(CheckContext& context, const CatalogEntry& table)
        : m_context(context), m_table(table), m_object("'" + table.name + "'") {}

    void run();

private:
    void fault(uint32_t page, std::string text) { m_context.findings.fault(page, m_object, std::move(text)); }
    std::vector<uint32_t> mapPages(RowPointer where, const std::string& what, const std::string& owner);
    void checkHolderPage(uint32_t number, const std::string& how);
    // Reads the page and checks it as a data page of `owner` (faulting with `otherwise`
    // when it is none); true when it is sound.
    bool checkOwnedDataPage(uint32_t number, uint32_t owner, const std::string& otherwise, const std::string& object);
    void checkDataPages(const std::vector<uint32_t>& owned, const std::vector<uint32_t>& free);
    void checkLongValueMaps();
    void readRows();
    void readRow(uint32_t page, uint8_t row, Bytes bytes, RowLocation where);
    void checkCounters();
    std::string longValueOwner(const ColumnDefinition& column) const {
        return "long values of " + m_object + "." + column.name;
    }

    CheckContext& m_context;
    const CatalogEntry& m_table;
    const std::string m_object;
    TableDefinition m_def;
    std::vector<uint32_t> m_dataPages;                     // owned pages that are data pages of the table
    std::map<uint16_t, std::vector<uint32_t>> m_longPages; // by column number: the column's owned map
    std::vector<LiveRow> m_rows;
};

void TableChecker::run() {
    const uint32_t first = static_cast<uint32_t>(m_table.id) & kDefinitionPageMask;
    auto cursor = openTableAt(m_context.pages, m_table.name, first, m_table.properties);
    if (!cursor) {
        fault(first, cursor.error().description);
        return;
    }
    m_def = cursor->definition();
    for (uint32_t page : m_def.pages)
        m_context.owners.claim(page, "definition of " + m_object, "the catalogue");

    const std::vector<uint32_t> owned = mapPages(m_def.ownedPages, "owned-pages map", "data of " + m_object);
    const std::vector<uint32_t> free = mapPages(m_def.freePages, "free-space map", "data of " + m_object);
    checkDataPages(owned, free);
    checkLongValueMaps();
    std::vector<std::vector<uint32_t>> indexMaps;
    for (std::size_t i = 0; i < m_def.realIndexes.size(); ++i)
        indexMaps.push_back(mapPages(m_def.realIndexes[i].usageMap, "usage map of index " + std::to_string(i),
                                     indexName(m_def, m_table.name, i)));
    readRows();
    checkCounters();
    checkTableIndexes(m_context, m_def, m_table.name, m_rows, indexMaps);
}

// The pages of a usage map, claimed for `owner`; the map's own row and bitmap pages are
// claimed as usage-map pages.
std::vector<uint32_t> TableChecker::mapPages(RowPointer where, const std::string& what, const std::string& owner) {
    const std::string how = "the " + what + " of " + m_object;
    if (where.isNull()) {
        fault(m_def.firstPage, "has no " + what);
        return {};
    }
    if (m_context.owners.claim(where.page, kUsageMapPages, how))
        checkHolderPage(where.page, how);
    auto bitmaps = usageMapBitmapPages(m_context.pages, where);
    if (!bitmaps) {
        fault(where.page, how + ": " + bitmaps.error().description);
        return {};
    }
    for (uint32_t bitmap : *bitmaps)
        m_context.owners.claim(bitmap, "bitmap pages of " + how, how);
    auto map = readUsageMap(m_context.pages, where);
    if (!map) {
        fault(where.page, how + ": " + map.error().description);
        return {};
    }
    if (map->pagesPastEnd > 0)
        fault(where.page, how + " names " + std::to_string(map->pagesPastEnd) + " pages past the end of the file");
    for (uint32_t page : map->pages)
        m_context.owners.claim(page, owner, how);
    return std::move(map->pages);
}

void TableChecker::checkHolderPage(uint32_t number, const std::string& how) {
    if (!m_context.holderPagesChecked.insert(number).second)
        return;
    checkOwnedDataPage(number, kUsageMapHolderOwner, how + " lies on a page that is not a usage-map page",
                       kUsageMapPages);
}

bool TableChecker::checkOwnedDataPage(uint32_t number, uint32_t owner, const std::string& otherwise,
                                      const std::string& object) {
    auto page = m_context.pages.page(number);
    if (!page) {
        fault(number, page.error().description);
        return false;
    }
    const Bytes bytes(**page);
    if (bytes[0] != kDataPageType || readU32(bytes, 4) != owner) {
        fault(number, otherwise);
        return false;
    }
    return checkDataPage(m_context.pages, number, bytes, object, m_context.findings);
}

void TableChecker::checkDataPages(const std::vector<uint32_t>& owned, const std::vector<uint32_t>& free) {
    for (uint32_t number : owned)
        if (checkOwnedDataPage(number, m_def.firstPage, "page of the owned-pages map is not a data page of this table",
                               m_object))
            m_dataPages.push_back(number);
    for (uint32_t number : free)
        if (!contains(owned, number))
            fault(number, "page of the free-space map is not in the owned-pages map");
}

void TableChecker::checkLongValueMaps() {
    for (const ColumnUsageMaps& maps : m_def.columnUsageMaps) {
        const auto column = std::find_if(m_def.columns.begin(), m_def.columns.end(),
                                         [&](const ColumnDefinition& c) { return c.number == maps.columnNumber; });
        if (column == m_def.columns.end()) {
            fault(m_def.firstPage, "long-value maps for column number " + std::to_string(maps.columnNumber) +
                                       ", which the table does not have");
            continue;
        }
        const std::string owner = longValueOwner(*column);
        const std::string what = "long-value map of column " + column->name;
        std::vector<uint32_t> owned = mapPages(maps.ownedPages, what, owner);
        // Access leaves out the free-space map of some system tables' long values.
        const std::vector<uint32_t> free =
            maps.freePages.isNull() ? std::vector<uint32_t>() : mapPages(maps.freePages, "free " + what, owner);
        for (uint32_t number : owned)
            checkOwnedDataPage(number, kLongValuePageOwner, "page of the " + what + " is not a long-value page", owner);
        for (uint32_t number : free)
            if (!contains(owned, number))
                fault(number, "page of the free " + what + " is not in the column's owned map");
        m_longPages[column->number] = std::move(owned);
    }
}

void TableChecker::readRows() {
    for (uint32_t number : m_dataPages) {
        auto page = m_context.pages.page(number);
        if (!page)
            continue; // reported by checkDataPages
        const Bytes bytes(**page);
        const uint16_t count = readU16(bytes, 0x0C);
        for (uint16_t row = 0; row < count; ++row) {
            auto slot = locateRow(m_context.pages, number, bytes, row);
            if (!slot || slot->deleted) // deleted, or an overflow target read through its header
                continue;
            Bytes rowBytes = bytes.subspan(slot->start, slot->end - slot->start);
            RowLocation where{number, slot->start};
            if (!slot->overflow) {
                readRow(number, static_cast<uint8_t>(row), rowBytes, where);
                continue;
            }
            auto target = readRowAt(m_context.pages, RowPointer::fromRaw(readU32(rowBytes, 0)), m_def.firstPage);
            if (!target) {
                fault(number, "overflow row " + std::to_string(row) + ": " + target.error().description);
                continue;
            }
            where = {target->pageNumber, static_cast<uint32_t>(target->bytes.data() - target->page->data())};
            readRow(number, static_cast<uint8_t>(row), target->bytes, where);
        }
    }
}

void TableChecker::readRow(uint32_t page, uint8_t row, Bytes bytes, RowLocation where) {
    LiveRow live{{page, row}, {}};
    if (Status status = decodeRow(m_context.pages, m_def, bytes, where, live.values); !status) {
        fault(page, status.error().description);
        return;
    }
    auto longPages = longValuePages(m_context.pages, m_def, bytes);
    if (!longPages) {
        fault(page, "row " + std::to_string(row) + ": " + longPages.error().description);
    } else {
        for (const LongValuePage& value : *longPages) {
            const ColumnDefinition& column = m_def.columns[value.column];
            const std::string how = "a long value of row " + std::to_string(page) + ":" + std::to_string(row);
            if (!m_context.owners.claim(value.page, longValueOwner(column), how))
                continue;
            const auto map = m_longPages.find(column.number);
            if (map != m_longPages.end() && !contains(map->second, value.page))
                fault(value.page, how + " (column " + column.name + ") lies on a page outside the column's map");
        }
    }
    m_rows.push_back(std::move(live));
}

void TableChecker::checkCounters() {
    // Access does not always bring the count up to date; readers go by the rows.
    if (m_def.rowCount != m_rows.size())
        m_context.findings.warning(m_def.firstPage, m_object,
                                   "the definition counts " + std::to_string(m_def.rowCount) + " rows, the table has " +
                                       std::to_string(m_rows.size()));
    for (std::size_t c = 0; c < m_def.columns.size(); ++c) {
        const ColumnDefinition& column = m_def.columns[c];
        if (!column.isAutoNumber() || column.type() != ColumnType::Long)
            continue;
        for (const LiveRow& row : m_rows)
            if (const int32_t* number = std::get_if<int32_t>(&row.values[c].storage());
                number && *number > 0 && static_cast<uint32_t>(*number) > m_def.lastAutoNumber) {
                fault(row.where.page, "AutoNumber " + std::to_string(*number) + " in column " + column.name +
                                          " is above the last one issued, " + std::to_string(m_def.lastAutoNumber));
                break;
            }
    }
}

} // namespace

void checkTable(CheckContext& context, const CatalogEntry& table) {
    TableChecker(context, table).run();
}

} // namespace storage::check
