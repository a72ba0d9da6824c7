// Usage maps: a set of pages stored as a row of a data page.
//
//   type 0 (inline):    0x00, u32 start page, bitmap (bit k = page start + k, LSB first)
//   type 1 (reference): 0x01, then u32 page numbers of bitmap pages (0 = none);
//                       bitmap page i (type 0x05, bitmap from byte 4) covers pages
//                       i * (pageSize - 4) * 8 onward.

#include "database/storage/table/usage_map.h"

#include "database/storage/table/data_page.h"

namespace storage {

namespace {

constexpr uint8_t kInlineMap = 0x00;
constexpr uint8_t kReferenceMap = 0x01;
constexpr uint8_t kBitmapPageType = 0x05;
constexpr std::size_t kBitmapPageHeader = 4;

void addBits(Bytes bitmap, uint64_t firstPage, uint32_t pageCount, UsageMapPages& out) {
    for (std::size_t byte = 0; byte < bitmap.size(); ++byte) {
        if (bitmap[byte] == 0)
            continue;
        for (unsigned bit = 0; bit < 8; ++bit) {
            if (!(bitmap[byte] & (1u << bit)))
                continue;
            const uint64_t page = firstPage + byte * 8 + bit;
            if (page < pageCount)
                out.pages.push_back(static_cast<uint32_t>(page));
            else
                ++out.pagesPastEnd;
        }
    }
}

} // namespace

Result<UsageMapPages> readUsageMap(PageReader& pages, RowPointer where) {
    auto row = readRowAt(pages, where, 0);
    if (!row)
        return row.error();
    const Bytes map = row->bytes;
    if (map.empty())
        return pages.corrupt(where.page, 0, "empty usage map row");

    UsageMapPages result;
    if (map[0] == kInlineMap) {
        if (map.size() < 5)
            return pages.corrupt(where.page, 0, "inline usage map shorter than its header");
        addBits(map.subspan(5), readU32(map, 1), pages.pageCount(), result);
        return result;
    }
    if (map[0] != kReferenceMap)
        return pages.corrupt(where.page, 0, "unknown usage map type " + std::to_string(map[0]));

    const uint64_t pagesPerBitmap = uint64_t{pages.pageSize() - kBitmapPageHeader} * 8;
    for (std::size_t i = 0; 1 + i * 4 + 4 <= map.size(); ++i) {
        const uint32_t bitmapPage = readU32(map, 1 + i * 4);
        if (bitmapPage == 0)
            continue;
        auto page = pages.page(bitmapPage);
        if (!page)
            return page.error();
        const Bytes bytes(**page);
        if (bytes[0] != kBitmapPageType)
            return pages.corrupt(bitmapPage, 0, "usage map names a page that is not a bitmap page");
        addBits(bytes.subspan(kBitmapPageHeader), i * pagesPerBitmap, pages.pageCount(), result);
    }
    return result;
}

} // namespace storage
