#pragma once

#include "database/storage/file/page_reader.h"
#include "database/storage/table/table_definition.h"
#include "database/storage/table/value.h"

#include <vector>

namespace storage {

// Where a row came from, for error messages.
struct RowLocation {
    uint32_t page = 0;
    uint32_t offset = 0; // of the row within its page
};

// Decodes one Jet 4 / ACE row into one Value per column of def.columns, in
// that order. Reads Memo and OLE data through pages.
Status decodeRow(PageReader& pages, const TableDefinition& def, Bytes row, RowLocation where, std::vector<Value>& out);

} // namespace storage
