#pragma once

#include "database/storage/file/page_reader.h"
#include "database/storage/table/table_definition.h"

#include <vector>

namespace storage::check {

struct LongValuePage {
    std::size_t column = 0; // position in def.columns
    uint32_t page = 0;
};

// The pages that hold a row's Memo and OLE values: the page of a single-row value and
// every page of a chain; inline values have none. The row must already have decoded.
Result<std::vector<LongValuePage>> longValuePages(PageReader& pages, const TableDefinition& def, Bytes row);

} // namespace storage::check
