#pragma once

#include "database/storage/engine/pager.h"
#include "database/storage/format/bytes.h"

#include <vector>

namespace storage {

// A usage map kept as a row of a data page (a table's, an index's or a long-value
// column's), changed in place through the pager. The row keeps its length.
class StoredUsageMap {
public:
    StoredUsageMap(Pager& pager, RowPointer where) : m_pager(pager), m_where(where) {}

    Status add(uint32_t page);
    Status remove(uint32_t page);
    // The pages of the map, ascending.
    Result<std::vector<uint32_t>> pages();

private:
    Status change(uint32_t page, bool add);

    Pager& m_pager;
    RowPointer m_where;
};

} // namespace storage
