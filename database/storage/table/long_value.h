#pragma once

#include "database/storage/file/page_reader.h"
#include "database/storage/format/bytes.h"

#include <vector>

namespace storage {

// Reads the bytes of a Memo or OLE value from its 12-byte header in the row
// (and the inline data after it): inline, a single LVAL row, or a chain of
// LVAL rows. rowPage names the row's page for error messages.
Result<std::vector<uint8_t>> readLongValue(PageReader& pages, Bytes field, uint32_t rowPage, uint32_t rowOffset);

} // namespace storage
