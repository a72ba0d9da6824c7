#pragma once

#include "database/storage/format/bytes.h"
#include "database/storage/format/header.h"
#include "database/storage/status.h"

#include <cstdint>
#include <vector>

namespace storage {

// The usual usage-map row: type byte, start page, 64 bitmap bytes (512 pages).
inline constexpr std::size_t kUsageMapRowSize = 69;

// An empty inline map (type 0) whose bit 0 stands for startPage.
std::vector<uint8_t> newInlineUsageMap(uint32_t startPage, std::size_t rowSize = kUsageMapRowSize);
// An empty reference map (type 1): no bitmap pages yet.
std::vector<uint8_t> newReferenceUsageMap(std::size_t rowSize = kUsageMapRowSize);

// The pages behind a reference map's pointers, owned by the caller.
class UsageMapPageStore {
public:
    virtual ~UsageMapPageStore() = default;
    // A new page for a bitmap: the caller allocates it (and marks it used in
    // the global map); the map fills in its content.
    virtual Result<uint32_t> allocatePage() = 0;
    // A bitmap page's bytes, changed in place; the caller writes them back.
    virtual Result<std::vector<uint8_t>*> page(uint32_t number) = 0;
};

// What adding a page did to the map's row, so the caller knows what to write back.
enum class UsageMapChange {
    BitSet,   // one bit of the row or of a bitmap page
    Moved,    // inline map rewritten with a new start page
    Promoted, // inline map turned into a reference map
};

// Adds a page to a table, index or column map (a set bit = the page belongs
// to the set). An inline map whose window does not reach the page is moved
// to start at its lowest page (a multiple of 8) when all its pages and the
// new one then fit; else it becomes a reference map of the same row length,
// whose bitmap pages come from store. The row keeps its length.
Result<UsageMapChange> addPageToUsageMap(std::vector<uint8_t>& row, uint32_t page, UsageMapPageStore& store,
                                         uint32_t pageSize = kJet4PageSize);

// Removes a page; fails when the map does not hold it.
Status removePageFromUsageMap(std::vector<uint8_t>& row, uint32_t page, UsageMapPageStore& store,
                              uint32_t pageSize = kJet4PageSize);

// The pages of an inline map, ascending.
std::vector<uint32_t> inlineUsageMapPages(Bytes row);

// The database's own map (page 1, row 0) is inline and its set bits are
// free pages. Marks page as used; when the page lies past the window, the
// window first slides forward: to start half a window before the page
// (a multiple of 8), or at the page itself when no free page is left;
// pages newly covered count as free, pages that fall out are forgotten.
// Fails when the page lies before the window.
Status markPageUsedInGlobalMap(std::vector<uint8_t>& row, uint32_t page);

} // namespace storage
