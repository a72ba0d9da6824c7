#pragma once

#include "database/storage/create/system_tables.h"
#include "database/storage/engine/pager.h"
#include "database/storage/write/table_definition_writer.h"

#include <cstdint>
#include <vector>

namespace storage {

// Pages a system table goes to, allocated by the caller: the engine puts the
// definitions of its first four tables on pages 2 to 5 and, in Jet 4 files, the
// usage maps of all four on one page.
struct SystemTablePages {
    uint32_t definition = 0;
    uint32_t mapHolder = 0;           // the table's maps are added after the rows already there
    std::vector<uint32_t> indexRoots; // one per index of the table, in index order
};

// Writes an empty system table: its definition (one page), its usage maps as rows
// of the holder page in the engine's order (owned pages, pages with room, two per
// Memo/OLE column by column number, one per index) and an empty leaf root per index.
// The table is not in the catalogue yet. Fails when the pages do not match the
// table or the holder page has no room.
Result<TableDefinition> writeSystemTable(Pager& pager, const SystemTable& table, const SystemTablePages& pages,
                                         uint8_t sortOrderVersion, const TableDefinitionFormat& format);

} // namespace storage
