#pragma once

#include "database/storage/file/page_reader.h"
#include "database/storage/format/bytes.h"

namespace storage {

inline constexpr uint8_t kDataPageType = 0x01;

// Where one row of a data page lies, and its flags.
struct RowSlot {
    uint16_t start = 0;
    uint16_t end = 0;
    bool deleted = false;  // 0x8000: skipped by scans (also the target of an overflow pointer)
    bool overflow = false; // 0x4000: the row is a pointer to the row's real place
};

// Number of rows of a data page; fails when the offset table does not fit.
Result<uint16_t> dataPageRowCount(const PageReader& pages, uint32_t pageNumber, Bytes page);

// Locates row `row` of a data page. Fails with a corruption error naming the
// page and slot when the offsets point outside the page.
Result<RowSlot> locateRow(const PageReader& pages, uint32_t pageNumber, Bytes page, uint16_t row);

struct LocatedRow {
    PageHandle page; // keeps bytes alive
    Bytes bytes;
    uint32_t pageNumber = 0;
};

// Reads the row a row pointer names, following overflow pointers. With
// owningTable != 0, the page must belong to that table.
Result<LocatedRow> readRowAt(PageReader& pages, RowPointer where, uint32_t owningTable);

} // namespace storage
