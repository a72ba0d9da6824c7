#pragma once

#include "database/storage/file/page_reader.h"
#include "database/storage/format/bytes.h"

#include <vector>

namespace storage::check {

// Which pages the global usage map (row 0 of page 1) counts as in use, by page number,
// for the pages of the file. In that map a set bit means free. Below the window of an
// inline map pages count as used (the writer slides the window up past them); above
// it, and under a reference map's missing bitmap pages, as free.
struct GlobalUsage {
    std::vector<bool> used;
    std::vector<uint32_t> mapPages; // page 1 and a reference map's bitmap pages
};
Result<GlobalUsage> readGlobalUsage(PageReader& pages);

// The bitmap pages (type 0x05) a reference usage map stored at `where` names; none for
// an inline map.
Result<std::vector<uint32_t>> usageMapBitmapPages(PageReader& pages, RowPointer where);

} // namespace storage::check
