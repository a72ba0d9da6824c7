#pragma once

#include "database/storage/catalog/catalog.h"
#include "database/storage/check/check_context.h"

namespace storage::check {

// Checks one local table and claims its pages for it: its definition pages; the pages
// holding its usage maps and their bitmap pages; the pages of every map (data pages of
// the table, index pages, long-value pages), each of the kind the map says and with room
// where it claims room; the free-space maps within the owned ones; every live row
// decodes, and its long values lie on pages of its column's map; the row count and the
// last AutoNumber of the definition agree with the rows; then its indexes.
void checkTable(CheckContext& context, const CatalogEntry& table);

} // namespace storage::check
