#pragma once

#include "database/storage/status.h"
#include "database/storage/table/table_definition.h"
#include "database/storage/table/value.h"

#include <cstdint>
#include <vector>

namespace storage {

// The largest row Access writes on a Jet 4 / ACE data page.
inline constexpr std::size_t kMaxRowSize = 4060;

// Lays out one row of the table as Access stores it: column count (the
// table's column slots), fixed area, variable data, end of data, the
// variable offsets in reverse, their count, and the null mask (which also
// holds the Yes/No values). A table without variable columns has no
// variable section.
//
// values holds one Value per def.columns entry, in that order, of the kind
// the column's type reads back as (Long: int32_t, Currency: Currency, ...);
// Null for no value. Text is UTF-8 and is stored compressed when the column
// allows it. Memo and OLE values must already be their long-value field (a
// BinaryValue: the 12-byte header and any inline data, see long_value_writer.h).
//
// Fails with 3047 when the row exceeds kMaxRowSize, 3163 when a value is
// longer than its column, 3464 when a value's kind does not fit its column,
// NotSupported for calculated columns and types this engine does not write.
Result<std::vector<uint8_t>> encodeRow(const TableDefinition& def, const std::vector<Value>& values);

// The bytes of one non-Null value of a fixed or variable column (not Yes/No)
// as they stand in the row.
Result<std::vector<uint8_t>> encodeFieldValue(const ColumnDefinition& column, const Value& value);

} // namespace storage
