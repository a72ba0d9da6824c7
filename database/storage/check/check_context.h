#pragma once

#include "database/storage/check/check_report.h"
#include "database/storage/check/page_owners.h"
#include "database/storage/file/page_reader.h"
#include "database/storage/open_options.h"
#include "database/storage/table/value.h"

#include <set>
#include <vector>

namespace storage::check {

// What the checks of one database share.
struct CheckContext {
    PageReader& pages;
    FileFormat format;
    PageOwners& owners;
    FindingCollector& findings;
    std::set<uint32_t> holderPagesChecked; // usage-map pages, which many maps share
};

// One live row as the check read it: where index entries must point, and its values.
struct LiveRow {
    RowPointer where;
    std::vector<Value> values;
};

} // namespace storage::check
