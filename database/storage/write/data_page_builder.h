#pragma once

#include "database/storage/format/bytes.h"
#include "database/storage/format/header.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace storage {

// Owner field of long-value pages: the ASCII bytes "LVAL".
inline constexpr uint32_t kLongValuePageOwner = 0x4C41564C;
// Owner field of the pages that hold a table's usage maps.
inline constexpr uint32_t kUsageMapHolderOwner = 0;
inline constexpr std::size_t kDataPageHeaderSize = 14;
// The row offsets that follow the header keep flags in their top three bits.
inline constexpr uint16_t kRowOffsetMask = 0x1FFF;
inline constexpr std::size_t kMaxRowsPerDataPage = 255; // row numbers are one byte in row pointers

// An empty data page (type 0x01) of a table (owner = its definition page),
// of long values (kLongValuePageOwner) or of usage maps (0); free space is
// the page less its 14-byte header (4082 in a 4096-byte page).
std::vector<uint8_t> newDataPage(uint32_t owner, uint32_t pageSize = kJet4PageSize);

uint16_t dataPageFreeSpace(Bytes page);

// Whether a row of rowLength bytes fits: its bytes and its 2-byte offset
// entry within the free space, and fewer than 255 rows on the page.
bool rowFits(Bytes page, std::size_t rowLength);

// Places the row below the previous one (row 0 ends at the page end), adds
// its offset entry and lowers the free space. Returns the row number, or
// nullopt when it does not fit (the page is unchanged then).
std::optional<uint8_t> appendRow(std::vector<uint8_t>& page, Bytes row);

// A usage-map holder page: a data page with owner 0 holding the map rows in order.
// Nullopt when they do not fit on one page.
std::optional<std::vector<uint8_t>> usageMapHolderPage(const std::vector<std::vector<uint8_t>>& maps,
                                                       uint32_t pageSize = kJet4PageSize);

} // namespace storage
