#include "database/storage/table/table_cursor.h"

#include "database/storage/table/data_page.h"
#include "database/storage/table/row_decoder.h"

namespace storage {

TableCursor::TableCursor(PageReader& pages, std::string name, std::shared_ptr<const TableDefinition> definition,
                         std::vector<uint32_t> dataPages)
    : m_pages(&pages), m_name(std::move(name)), m_definition(std::move(definition)),
      m_dataPages(std::move(dataPages)) {}

bool TableCursor::loadPage() {
    while (m_pageIndex < m_dataPages.size()) {
        const uint32_t number = m_dataPages[m_pageIndex++];
        auto page = m_pages->page(number);
        if (!page) {
            m_status = page.status();
            return false;
        }
        const Bytes bytes(**page);
        if (bytes[0] != kDataPageType || readU32(bytes, 4) != m_definition->firstPage) {
            ++m_foreignPages;
            continue;
        }
        auto count = dataPageRowCount(*m_pages, number, bytes);
        if (!count) {
            m_status = count.status();
            return false;
        }
        m_page = *page;
        m_rowCount = *count;
        m_nextRow = 0;
        return true;
    }
    m_page.reset();
    return false;
}

bool TableCursor::next(Row& row) {
    if (!m_status)
        return false;
    for (;;) {
        if (!m_page || m_nextRow >= m_rowCount) {
            if (!loadPage())
                return false;
            continue;
        }
        const uint32_t pageNumber = m_dataPages[m_pageIndex - 1];
        const Bytes bytes(*m_page);
        const uint16_t rowNumber = m_nextRow++;
        auto slot = locateRow(*m_pages, pageNumber, bytes, rowNumber);
        if (!slot) {
            m_status = slot.status();
            return false;
        }
        if (slot->deleted) // deleted, or the target of an overflow row (read through its header)
            continue;
        Bytes rowBytes = bytes.subspan(slot->start, slot->end - slot->start);
        RowLocation where{pageNumber, slot->start};
        LocatedRow moved;
        if (slot->overflow) {
            if (rowBytes.size() < 4) {
                m_status = m_pages->corrupt(pageNumber, slot->start, "overflow row shorter than its pointer");
                return false;
            }
            auto target = readRowAt(*m_pages, RowPointer::fromRaw(readU32(rowBytes, 0)), m_definition->firstPage);
            if (!target) {
                m_status = target.status();
                return false;
            }
            moved = std::move(*target);
            rowBytes = moved.bytes;
            where = RowLocation{moved.pageNumber, static_cast<uint32_t>(moved.bytes.data() - moved.page->data())};
        }
        if (Status status = decodeRow(*m_pages, *m_definition, rowBytes, where, row); !status) {
            m_status = status;
            return false;
        }
        return true;
    }
}

} // namespace storage

#include "database/storage/catalog/property_blob.h"
#include "database/storage/table/usage_map.h"

namespace storage {

Result<TableCursor> openTableAt(PageReader& pages, std::string name, uint32_t definitionPage, Bytes properties) {
    auto definition = readTableDefinition(pages, definitionPage);
    if (!definition)
        return definition.error();
    if (!properties.empty()) {
        const PropertyBlob blob = parsePropertyBlob(properties);
        for (ColumnDefinition& column : definition->columns) {
            if (!column.isCalculated())
                continue;
            const auto found = blob.find(column.name);
            if (found == blob.end())
                continue;
            const auto resultType = found->second.find("ResultType");
            if (resultType != found->second.end() && !resultType->second.bytes.empty())
                column.calculatedResultType = resultType->second.bytes[0];
        }
    }
    auto owned = readUsageMap(pages, definition->ownedPages);
    if (!owned)
        return owned.error();
    return TableCursor(pages, std::move(name), std::make_shared<const TableDefinition>(std::move(*definition)),
                       std::move(owned->pages));
}

} // namespace storage
