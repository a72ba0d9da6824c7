// Data pages (type 0x01) as this engine builds them.
//
//   offset  size      meaning
//   0x00    1         0x01
//   0x01    1         0x01
//   0x02    2         free space: bytes left for rows and their offset entries
//   0x04    4         owning table's definition page, "LVAL", or 0 (usage maps)
//   0x08    4         0
//   0x0C    2         row count
//   0x0E    2 x rows  row start offsets (flags 0x4000 overflow, 0x8000 deleted: none here)
//
// Rows fill the page from its end downward in row order.

#include "database/storage/write/data_page_builder.h"

#include "database/storage/format/bytes.h"

#include <algorithm>

namespace storage {

namespace {
constexpr std::size_t kFreeSpaceOffset = 0x02;
constexpr std::size_t kOwnerOffset = 0x04;
constexpr std::size_t kRowCountOffset = 0x0C;
} // namespace

std::vector<uint8_t> newDataPage(uint32_t owner, uint32_t pageSize) {
    std::vector<uint8_t> page(pageSize, 0);
    page[0] = 0x01;
    page[1] = 0x01;
    writeU16(page, kFreeSpaceOffset, pageSize - kDataPageHeaderSize);
    writeU32(page, kOwnerOffset, owner);
    return page;
}

uint16_t dataPageFreeSpace(Bytes page) { return readU16(page, kFreeSpaceOffset); }

bool rowFits(Bytes page, std::size_t rowLength) {
    return readU16(page, kRowCountOffset) < kMaxRowsPerDataPage && rowLength + 2 <= dataPageFreeSpace(page);
}

std::optional<uint8_t> appendRow(std::vector<uint8_t>& page, Bytes row) {
    if (!rowFits(page, row.size()))
        return std::nullopt;
    const uint16_t count = readU16(page, kRowCountOffset);
    const std::size_t end =
        count == 0 ? page.size() : readU16(page, kDataPageHeaderSize + 2 * (std::size_t{count} - 1)) & kRowOffsetMask;
    const std::size_t start = end - row.size();
    std::copy(row.begin(), row.end(), page.begin() + static_cast<std::ptrdiff_t>(start));
    writeU16(page, kDataPageHeaderSize + 2 * std::size_t{count}, start);
    writeU16(page, kRowCountOffset, count + 1u);
    writeU16(page, kFreeSpaceOffset, dataPageFreeSpace(page) - row.size() - 2);
    return static_cast<uint8_t>(count);
}

std::optional<std::vector<uint8_t>> usageMapHolderPage(const std::vector<std::vector<uint8_t>>& maps,
                                                       uint32_t pageSize) {
    std::vector<uint8_t> page = newDataPage(kUsageMapHolderOwner, pageSize);
    for (const auto& map : maps)
        if (!appendRow(page, map))
            return std::nullopt;
    return page;
}

} // namespace storage
