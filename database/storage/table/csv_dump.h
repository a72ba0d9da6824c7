#pragma once

#include "database/storage/table/table_cursor.h"

#include <ostream>

namespace storage {

// Writes the cursor's remaining rows as CSV: a header line of column names,
// then one line per row, fields separated by commas, lines ended by "\n".
// Values use formatValue(); Null is an empty unquoted field; text, dates,
// GUIDs and bytes are quoted with '"', a quote inside doubled.
Status writeCsv(TableCursor& cursor, std::ostream& out);

} // namespace storage
