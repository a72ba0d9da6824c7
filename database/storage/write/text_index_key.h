#pragma once

#include "database/storage/format/header.h"
#include "database/storage/open_options.h"
#include "database/storage/status.h"
#include "database/storage/write/sort_order_tables.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace storage {

// The sort order of a Text or Memo column from its LCID and sort-order
// version (column descriptor bytes 11-12 and 14). LCID 0 stands for the
// format's default: General Legacy up to ACE 12, General from ACE 14.
// Other LCIDs and versions are refused (NotSupported): their codes are unknown.
Result<TextSortOrder> textSortOrder(uint16_t lcid, uint8_t version, FileFormat format);

// Appends the key bytes of a non-Null text value after its flag byte: the
// first 255 UTF-16 units without trailing spaces, as inline codes, end of
// text (01), then the accent and unprintable sections when there are any,
// and 00 (descending: all of it inverted, then 00). Upper and lower case
// give the same key. Every unit has a code, a surrogate included.
void appendTextKey(std::vector<uint8_t>& key, std::u16string_view text, TextSortOrder order, bool ascending);

} // namespace storage
