#pragma once

#include "database/storage/file/page_reader.h"
#include "database/storage/format/bytes.h"

#include <vector>

namespace storage {

// The pages of a usage map, ascending.
struct UsageMapPages {
    std::vector<uint32_t> pages;   // pages that exist in the file
    uint32_t pagesPastEnd = 0;     // set bits naming pages beyond the end of the file
};

// Reads the usage map stored in the row `where` (inline or reference map).
Result<UsageMapPages> readUsageMap(PageReader& pages, RowPointer where);

} // namespace storage
