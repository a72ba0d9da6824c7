#pragma once

#include "database/storage/check/check_report.h"
#include "database/storage/check/index_tree_check.h"
#include "database/storage/format/bytes.h"

#include <optional>
#include <string>
#include <vector>

namespace storage::check {

// What one live row of a table should have in one index.
struct ExpectedEntry {
    RowPointer row;
    bool indexed = true;                     // false: an ignore-nulls index leaves the row out
    bool allNull = false;                    // every key column Null: uniqueness does not apply
    std::optional<std::vector<uint8_t>> key; // nullopt: not computable here; only presence is checked
};

// Compares the index's leaf entries with the table's rows: one entry per indexed row,
// pointing at it, with the row's key; no entry for anything else; in a unique index no
// two entries with the same key bytes unless the key is all Null.
void compareIndexEntries(const std::vector<LeafEntry>& entries, const std::vector<ExpectedEntry>& rows, bool unique,
                         const std::string& object, FindingCollector& findings);

} // namespace storage::check
