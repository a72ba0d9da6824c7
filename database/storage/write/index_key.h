#pragma once

#include "database/storage/open_options.h"
#include "database/storage/status.h"
#include "database/storage/table/table_definition.h"
#include "database/storage/table/value.h"
#include "database/storage/write/sort_order_tables.h"

#include <cstdint>
#include <map>
#include <vector>

namespace storage {

// What a key depends on beyond the values: the file format (Jet 4 orders
// descending Decimal keys its own way) and each text column's sort-order
// version, which the column descriptor holds at byte 14.
struct IndexKeyOptions {
    FileFormat format = FileFormat::Jet4;
    uint8_t defaultSortOrderVersion = 0;            // for text columns not listed below
    std::map<uint16_t, uint8_t> sortOrderVersions;  // by column number
};

// Appends one key column: 00 (descending FF) for Null, else the flag 7F
// (descending 80) and the value's encoding: integers big-endian with the
// sign bit flipped, floating point and dates ordered by their bits, Yes/No
// 00 for Yes, GUIDs and bytes in 8-byte segments, text through
// appendTextKey. A Yes/No column is never Null (Null counts as No).
// Fails with NotSupported for OLE, calculated and unknown columns and text
// columns of another sort order; with 3464 when the value's kind does not fit the column.
Status appendKeyColumn(std::vector<uint8_t>& key, const ColumnDefinition& column, const Value& value, bool ascending,
                       const IndexKeyOptions& options);

// The key options of a table's indexes: the sort-order version of each text column
// (descriptor byte 14) decides its keys.
IndexKeyOptions keyOptionsFor(const TableDefinition& def, FileFormat format);

// The key of one row in a real index: its key columns in index order.
// row holds one Value per def.columns entry.
Result<std::vector<uint8_t>> encodeIndexKey(const TableDefinition& def, const RealIndex& index,
                                            const std::vector<Value>& row, const IndexKeyOptions& options);

} // namespace storage
