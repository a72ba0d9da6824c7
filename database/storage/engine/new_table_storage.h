#pragma once

#include "database/storage/engine/pager.h"
#include "database/storage/table/table_definition.h"
#include "database/storage/write/table_definition_writer.h"

#include <string>
#include <vector>

namespace storage {

// An index of a new table.
struct NewIndex {
    std::string name;
    std::vector<IndexColumn> columns;
    uint8_t flags = 0x80; // 0x01 unique, 0x02 ignore nulls, 0x08 required; 0x80 always
    bool primaryKey = false;
};

// Writes what a new, empty table needs on disk: its definition page(s), one page
// holding its usage maps (rows, free space, each index, each long-value column) and an
// empty root page per index, all appended to the file. `def` comes from
// layoutNewTable; the returned definition has its pages, maps and indexes filled in.
// The table is not in the catalogue yet.
Result<TableDefinition> writeNewTable(Pager& pager, TableDefinition def, const std::vector<NewIndex>& indexes,
                                      const TableDefinitionFormat& format);

} // namespace storage
