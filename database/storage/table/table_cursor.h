#pragma once

#include "database/storage/file/page_reader.h"
#include "database/storage/table/table_definition.h"
#include "database/storage/table/value.h"

#include <memory>
#include <string>
#include <vector>

namespace storage {

using Row = std::vector<Value>;

// Reads a table's rows one at a time, in page order (the order Access stores
// them), through the table's owned-pages map: freed pages keep stale rows, so
// the file is never scanned page by page.
//
// Borrows the database's page reader: it must not outlive its Database.
// Typical use:
//     Row row;
//     while (cursor.next(row)) { ... }
//     if (!cursor.status()) { ... }
class TableCursor {
public:
    TableCursor(PageReader& pages, std::string name, std::shared_ptr<const TableDefinition> definition,
                std::vector<uint32_t> dataPages);

    const std::string& name() const { return m_name; }
    // The columns by column number; row values come in the same order.
    const std::vector<ColumnDefinition>& columns() const { return m_definition->columns; }
    const TableDefinition& definition() const { return *m_definition; }

    // Fills row with the next live row. False at the end or on an error; then status() tells which.
    bool next(Row& row);
    Status status() const { return m_status; }

    // Pages of the owned-pages map that are not data pages of this table
    // (seen so far); they are skipped.
    uint32_t foreignPagesSkipped() const { return m_foreignPages; }

private:
    bool loadPage();

    PageReader* m_pages;
    std::string m_name;
    std::shared_ptr<const TableDefinition> m_definition;
    std::vector<uint32_t> m_dataPages;
    std::size_t m_pageIndex = 0;
    PageHandle m_page;
    uint16_t m_rowCount = 0;
    uint16_t m_nextRow = 0;
    uint32_t m_foreignPages = 0;
    Status m_status;
};

} // namespace storage

namespace storage {

// Opens a cursor over the table whose definition starts at definitionPage.
// properties: the table's LvProp blob, which gives the result types of calculated columns.
Result<TableCursor> openTableAt(PageReader& pages, std::string name, uint32_t definitionPage,
                                Bytes properties = {});

} // namespace storage
