// Data pages (type 0x01), Jet 4 and ACE: table rows, long values (TDEF field
// "LVAL") and usage-map rows (TDEF field 0).
//
//   offset  size     meaning
//   0x00    1        0x01
//   0x02    2        free space
//   0x04    4        owning TDEF page, "LVAL", or 0
//   0x0C    2        row count
//   0x0E    2 x rows row offsets: bits 0-12 offset, 0x4000 overflow, 0x8000 deleted
//
// Rows run from the end of the page downward: row 0 ends at the page end,
// row i ends where row i-1 starts.

#include "database/storage/table/data_page.h"

namespace storage {

namespace {
constexpr std::size_t kRowCountOffset = 0x0C;
constexpr std::size_t kRowTableOffset = 0x0E;
constexpr uint16_t kOffsetMask = 0x1FFF;
constexpr uint16_t kOverflowFlag = 0x4000;
constexpr uint16_t kDeletedFlag = 0x8000;
// Overflow rows point to overflow rows only when edited many times; more hops means a cycle.
constexpr int kMaxOverflowHops = 8;
} // namespace

Result<uint16_t> dataPageRowCount(const PageReader& pages, uint32_t pageNumber, Bytes page) {
    const uint16_t count = readU16(page, kRowCountOffset);
    if (!fits(page, kRowTableOffset, std::size_t{count} * 2))
        return pages.corrupt(pageNumber, kRowCountOffset, "row count " + std::to_string(count) + " overflows the page");
    return count;
}

Result<RowSlot> locateRow(const PageReader& pages, uint32_t pageNumber, Bytes page, uint16_t row) {
    auto count = dataPageRowCount(pages, pageNumber, page);
    if (!count)
        return count.error();
    if (row >= *count)
        return pages.corrupt(pageNumber, kRowCountOffset,
                             "row " + std::to_string(row) + " requested, page has " + std::to_string(*count));
    const std::size_t entryAt = kRowTableOffset + std::size_t{row} * 2;
    const uint16_t entry = readU16(page, entryAt);
    RowSlot slot;
    slot.deleted = entry & kDeletedFlag;
    slot.overflow = entry & kOverflowFlag;
    slot.start = entry & kOffsetMask;
    slot.end = row == 0 ? static_cast<uint16_t>(page.size())
                        : static_cast<uint16_t>(readU16(page, entryAt - 2) & kOffsetMask);
    const std::size_t tableEnd = kRowTableOffset + std::size_t{*count} * 2;
    if (slot.deleted && (slot.start > slot.end || slot.start < tableEnd)) {
        // Access reclaims the bytes of some deleted rows; their offsets need not make sense.
        slot.start = slot.end;
        return slot;
    }
    if (slot.start < tableEnd || slot.start > slot.end || slot.end > page.size())
        return pages.corrupt(pageNumber, static_cast<uint32_t>(entryAt),
                             "row " + std::to_string(row) + " offsets outside the page");
    return slot;
}

Result<LocatedRow> readRowAt(PageReader& pages, RowPointer where, uint32_t owningTable) {
    for (int hop = 0; hop <= kMaxOverflowHops; ++hop) {
        auto page = pages.page(where.page);
        if (!page)
            return page.error();
        const Bytes bytes(**page);
        if (bytes[0] != kDataPageType)
            return pages.corrupt(where.page, 0, "row pointer to a page that is not a data page");
        if (owningTable != 0 && readU32(bytes, 4) != owningTable)
            return pages.corrupt(where.page, 4, "row pointer to a page of another table");
        auto slot = locateRow(pages, where.page, bytes, where.row);
        if (!slot)
            return slot.error();
        const Bytes row = bytes.subspan(slot->start, slot->end - slot->start);
        // The 0x8000 bit of an overflow target is expected; both bits together mean deleted.
        if (slot->overflow && !slot->deleted) {
            if (row.size() < 4)
                return pages.corrupt(where.page, slot->start, "overflow row shorter than its pointer");
            where = RowPointer::fromRaw(readU32(row, 0));
            continue;
        }
        if (slot->overflow && slot->deleted)
            return pages.corrupt(where.page, slot->start, "row pointer to a deleted row");
        return LocatedRow{*page, row, where.page};
    }
    return pages.corrupt(where.page, 0, "overflow rows point to each other");
}

} // namespace storage
